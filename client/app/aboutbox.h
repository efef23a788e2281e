#pragma once

#include <QDialog>

namespace pw::client {

// `Taboutbox`: the program's picture, version and notices, and a link to the maker's
// home page. Made for one showing; the main window waits behind it.
class Taboutbox final : public QDialog
{
    Q_OBJECT

public:
    explicit Taboutbox(QWidget *parent);
    // The link label's click.
    void openHomePage();
};

} // namespace pw::client
