#pragma once

#include "store/colourtext.h"
#include "store/settings.h"
#include "store/urllist.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace pw::client {

class PageFetch;

// `Tdialogurladd`: adds one entry to the URL List being edited or edits one, with every
// per-page option. OK checks the input in a fixed order and hands the entry to the
// editor; Validate and Frames fetch the page the user typed.
class Tdialogurladd final : public QDialog
{
    Q_OBJECT

public:
    Tdialogurladd(const Settings &settings, PageFetch *fetch, QWidget *parent = nullptr);
    ~Tdialogurladd() override;

    // The row being edited, or -1 for a new entry; set before the dialog fills itself.
    int EntryIndex = -1;
    // Fills the controls from an entry, or with a new entry's values.
    void fill(const UrlEntry *entry);
    // Whether the URL List already holds a URL (the editor's `urlexists`).
    void setUrlExists(std::function<bool(const QString &)> urlExists) { m_urlExists = std::move(urlExists); }

    // The entry as OK made it; Last Modified and Size are "*".
    const UrlEntry &result() const { return m_result; }

    void okbtnClick();
    void validatebtnClick();
    void framebtnClick();
    void abortbtnClick();

    // The colours as the samples show them.
    Rgb changeColour() const { return m_changeColour; }
    Rgb keywordColour() const { return m_keywordColour; }

Q_SIGNALS:
    // The frame chooser took one of the page's frames.
    void frameChosen(const QString &url);

protected:
    void reject() override;

private:
    QWidget *createEnterPage();
    QWidget *createCustomizePage();
    void updateCouplings();
    void paintSamples();
    void setFetching(bool fetching);
    bool fetchPage(QString &url, QString &error, QStringList &lines);
    // "http://" in front when the URL names no scheme at all.
    QString withScheme(const QString &url) const;

    const Settings &m_settings;
    PageFetch *m_fetch;
    std::function<bool(const QString &)> m_urlExists;
    UrlEntry m_result;
    Rgb m_changeColour;
    Rgb m_keywordColour;
    bool m_fetching = false;

    QTabWidget *m_pages = nullptr;
    QLineEdit *m_description = nullptr;
    QLineEdit *m_url = nullptr;
    QLineEdit *m_username = nullptr;
    QLineEdit *m_password = nullptr;
    QCheckBox *m_maskPassword = nullptr;
    QPushButton *m_frames = nullptr;
    QPushButton *m_validate = nullptr;
    QPushButton *m_abort = nullptr;
    QCheckBox *m_keepLatest = nullptr;
    QCheckBox *m_sizePriority = nullptr;
    QCheckBox *m_highlighter = nullptr;
    QLineEdit *m_delay = nullptr;
    QLineEdit *m_timeout = nullptr;
    QLineEdit *m_sizeThreshold = nullptr;
    QLabel *m_changeSample = nullptr;
    QLabel *m_keywordSample = nullptr;
    QPushButton *m_changeColourButton = nullptr;
    QPushButton *m_keywordColourButton = nullptr;
    QCheckBox *m_enableKey = nullptr;
    QLineEdit *m_keyList = nullptr;
    QCheckBox *m_word = nullptr;
    QCheckBox *m_caseSensitive = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QStatusBar *m_status = nullptr;
};

} // namespace pw::client
