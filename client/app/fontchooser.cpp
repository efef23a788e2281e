#include "fontchooser.h"

#include "store/fontsetting.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

constexpr const char16_t *kStandardNames[] = {u"Black", u"Maroon",  u"Green",  u"Olive", u"Navy", u"Purple",
                                              u"Teal",  u"Gray",    u"Silver", u"Red",   u"Lime", u"Yellow",
                                              u"Blue",  u"Fuchsia", u"Aqua",   u"White"};

QColor toColor(Rgb rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

Rgb toRgb(const QColor &colour)
{
    return Rgb{quint8(colour.red()), quint8(colour.green()), quint8(colour.blue())};
}

QIcon swatch(const QColor &colour)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

ChosenFont parsesetupfont(QStringView setting)
{
    const FontSetting parsed = parseFont(setting);
    QFont font(parsed.name);
    font.setPointSize(parsed.size);
    font.setBold(parsed.bold);
    font.setItalic(parsed.italic);
    font.setUnderline(parsed.underline);
    font.setStrikeOut(parsed.strikeout);
    return {font, toColor(parsed.colour)};
}

QString fontstring(const QFont &font, const QColor &colour)
{
    FontSetting setting;
    setting.name = font.family();
    const int points = int(std::lround(font.pointSizeF()));
    setting.size = points > 0 ? points : std::max(1, int(std::lround(font.pixelSize() * 72.0 / 96.0)));
    setting.bold = font.bold();
    setting.italic = font.italic();
    setting.underline = font.underline();
    setting.strikeout = font.strikeOut();
    setting.colour = toRgb(colour);
    return formatFont(setting);
}

FontChooser::FontChooser(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"fontchooser"_s);
    setWindowTitle(u"Font"_s);
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);

    // The platform's font chooser, shown inside this dialog so the colour sits beside it.
    m_fonts = new QFontDialog(this);
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fonts->setWindowFlags(Qt::Widget);
    m_fonts->setSizeGripEnabled(false);
    layout->addWidget(m_fonts);

    auto *colourRow = new QHBoxLayout;
    m_colours = new QComboBox(this);
    m_colours->setObjectName(u"colourlist"_s);
    for (const char16_t *name : kStandardNames) {
        const QString text = QString::fromUtf16(name);
        const QColor colour = toColor(standardColour(text).value_or(Rgb{}));
        m_colours->addItem(swatch(colour), text, colour);
    }
    auto *colourLabel = new QLabel(u"&Color:"_s, this);
    colourLabel->setBuddy(m_colours);
    colourRow->addWidget(colourLabel);
    colourRow->addWidget(m_colours);
    colourRow->addStretch();
    layout->addLayout(colourRow);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"fontokbtn"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void FontChooser::ask(const QString &setting)
{
    const ChosenFont chosen = parsesetupfont(setting);
    m_askedSetting = setting;
    m_asked = chosen.font;
    QFont shown = chosen.font;
    // A face this machine lacks is shown as the face that stands in for it when printing,
    // so its size and styles show too.
    if (!QFontDatabase::families().contains(shown.family()))
        shown.setFamily(QFontInfo(chosen.font).family());
    m_fonts->setCurrentFont(shown);
    m_askedFamilyShown = m_fonts->currentFont().family();
    selectColour(chosen.colour);
    open();
}

void FontChooser::selectColour(const QColor &colour)
{
    // A custom colour from an earlier choice goes; this one's custom colour comes.
    if (m_colours->count() > int(std::size(kStandardNames)))
        m_colours->removeItem(m_colours->count() - 1);
    int index = m_colours->findData(colour);
    if (index < 0) {
        m_colours->addItem(swatch(colour), u"Custom"_s, colour);
        index = m_colours->count() - 1;
    }
    m_colours->setCurrentIndex(index);
}

QString FontChooser::chosenSetting() const
{
    QFont font = m_fonts->currentFont();
    // A face missing on this machine is shown as its nearest match; left alone, the
    // setting keeps the face it names.
    if (font.family() == m_askedFamilyShown)
        font.setFamily(m_asked.family());
    const QString chosen = fontstring(font, m_colours->currentData().value<QColor>());
    // Unchanged, the setting keeps its own wording.
    return parseFont(chosen) == parseFont(m_askedSetting) ? m_askedSetting : chosen;
}

} // namespace pw::client
