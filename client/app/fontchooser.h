#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QComboBox;
class QFontDialog;

namespace pw::client {

// A printing font as the font chooser shows it.
struct ChosenFont
{
    QFont font;
    QColor colour;
};

// `parsesetupfont`: a font setting ("Times New Roman,12,Bold,Black,Underline") for the
// chooser.
ChosenFont parsesetupfont(QStringView setting);
// `fontstring`: the font setting of a chosen font.
QString fontstring(const QFont &font, const QColor &colour);

// The font choice of the Setup dialog's "Set..." buttons: face, size and styles, and the
// colour from the standard colours (a colour of another kind is kept as "Custom").
class FontChooser final : public QDialog
{
    Q_OBJECT

public:
    explicit FontChooser(QWidget *parent = nullptr);

    // Shows `setting`; the answer comes with finished().
    void ask(const QString &setting);
    // The setting chosen; a face the chooser could only approximate keeps its stored name
    // unless another face was picked.
    QString chosenSetting() const;

    QFontDialog *fontDialog() const { return m_fonts; }
    QComboBox *colourList() const { return m_colours; }

private:
    void selectColour(const QColor &colour);

    QFontDialog *m_fonts = nullptr;
    QComboBox *m_colours = nullptr;
    QString m_askedSetting;
    QFont m_asked;
    QString m_askedFamilyShown;
};

} // namespace pw::client
