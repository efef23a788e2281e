#pragma once

#include "store/settings.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QPageSetupDialog;
class QPrinter;

namespace pw::client {

class FontChooser;
class PrintSetup;

// The Setup dialog's "Printing" page: date and name on printed pages, the three report
// fonts with their samples, and the page set-up.
class PrintingPage final : public QWidget
{
    Q_OBJECT

public:
    enum FontRole { Title, SubTitle, Body };

    PrintingPage(PrintSetup &printSetup, QWidget *parent = nullptr);
    ~PrintingPage() override;

    void load(const Settings &s);
    void store(Settings &s) const;

    // `fontpreview`: the samples in the faces, colours and styles of the three settings,
    // at 8 points.
    void fontpreview();
    // "Set...": the font chooser for one of the three.
    void chooseFont(FontRole role);
    // "Print Setup...".
    void printSetupDialog();

private:
    void fontChosen();

    PrintSetup &m_printSetup;
    QCheckBox *m_dispdate = nullptr;
    QCheckBox *m_dispname = nullptr;
    // The hidden labels that hold the three settings.
    QLabel *m_details[3] = {nullptr, nullptr, nullptr};
    QLabel *m_samples[3] = {nullptr, nullptr, nullptr};
    FontChooser *m_chooser = nullptr;
    FontRole m_choosing = Title;
    std::unique_ptr<QPrinter> m_setupPrinter;
    QPointer<QPageSetupDialog> m_setupDialog;
};

} // namespace pw::client
