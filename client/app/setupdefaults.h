#pragma once

#include "store/settings.h"

#include <QWidget>

class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace pw::client {

// The Setup dialog's "Defaults" page: the default address, the server's tray behaviour,
// the sound after a run with news and the number of retrieval processes.
class DefaultsPage final : public QWidget
{
    Q_OBJECT

public:
    explicit DefaultsPage(QWidget *parent = nullptr);

    void load(const Settings &s);
    void store(Settings &s) const;

    // "Browse...": the file chooser for the sound.
    void browseSound();
    // A file chosen there: taken when it exists.
    void takeSoundFile(const QString &path);

private:
    void applyCouplings();

    QLineEdit *m_defaulturl = nullptr;
    QCheckBox *m_placeintray = nullptr;
    QCheckBox *m_systemtray = nullptr;
    QCheckBox *m_useeffect = nullptr;
    QLineEdit *m_soundeffect = nullptr;
    QPushButton *m_browse = nullptr;
    QSlider *m_numthreads = nullptr;
    QLabel *m_threadCount = nullptr;
    QFileDialog *m_soundChooser = nullptr;
};

} // namespace pw::client
