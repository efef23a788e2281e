# One place for the language level, warnings and Qt defines every target shares.
add_library(pw_common INTERFACE)
target_compile_features(pw_common INTERFACE cxx_std_20)
target_compile_options(pw_common INTERFACE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
target_compile_definitions(pw_common INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_USE_QSTRINGBUILDER
  QT_NO_KEYWORDS
  QT_NO_FOREACH)
