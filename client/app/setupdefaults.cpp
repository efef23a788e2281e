#include "setupdefaults.h"

#include "client/core/setuptexts.h"
#include "gui/prompt.h"
#include "store/paths.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

// The numbers 1, 5 and 10 under the marks of the retrieval processes bar.
class SliderMarks final : public QWidget
{
public:
    SliderMarks(QSlider *slider, QWidget *parent)
        : QWidget(parent)
        , m_slider(slider)
    {
        setMinimumHeight(fontMetrics().height());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStyleOptionSlider option;
        option.initFrom(m_slider);
        option.orientation = m_slider->orientation();
        option.minimum = m_slider->minimum();
        option.maximum = m_slider->maximum();
        option.sliderPosition = m_slider->value();
        option.sliderValue = m_slider->value();
        option.tickPosition = m_slider->tickPosition();
        option.tickInterval = m_slider->tickInterval();
        option.subControls = QStyle::SC_All;
        const QStyle *style = m_slider->style();
        const QRect groove = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, m_slider);
        const QRect handle = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, m_slider);
        const int span = groove.width() - handle.width();
        QPainter painter(this);
        for (int value : {1, 5, 10}) {
            const int x = groove.x() + handle.width() / 2
                          + QStyle::sliderPositionFromValue(option.minimum, option.maximum, value, span);
            const int centre = mapFromGlobal(m_slider->mapToGlobal(QPoint(x, 0))).x();
            const QString text = QString::number(value);
            const int width = fontMetrics().horizontalAdvance(text);
            painter.drawText(QRect(centre - width, 0, 2 * width, height()), Qt::AlignCenter, text);
        }
    }

private:
    QSlider *m_slider;
};

} // namespace

DefaultsPage::DefaultsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"defaultspage"_s);
    auto *layout = new QVBoxLayout(this);

    auto *urlRow = new QHBoxLayout;
    m_defaulturl = new QLineEdit(this);
    m_defaulturl->setObjectName(u"defaulturl"_s);
    auto *urlLabel = new QLabel(u"Default URL:"_s, this);
    urlLabel->setBuddy(m_defaulturl);
    urlRow->addWidget(urlLabel);
    urlRow->addWidget(m_defaulturl, 1);
    layout->addLayout(urlRow);

    const auto check = [&](const QString &caption, const QString &name) {
        auto *box = new QCheckBox(caption, this);
        box->setObjectName(name);
        layout->addWidget(box);
        return box;
    };
    m_placeintray = check(u"Prompt upon exiting Pagewarden Server"_s, u"placeintray"_s);
    m_systemtray = check(u"Start Pagewarden Server minimized on System Tray"_s, u"systemtray"_s);
    m_useeffect = check(u"Play sound effect upon retrieval of new/modified web pages"_s, u"useeffect"_s);

    auto *soundRow = new QHBoxLayout;
    soundRow->addSpacing(20);
    m_soundeffect = new QLineEdit(this);
    m_soundeffect->setObjectName(u"soundeffect"_s);
    m_soundeffect->setReadOnly(true);
    m_browse = new QPushButton(u"Browse..."_s, this);
    m_browse->setObjectName(u"browsebtn"_s);
    m_browse->setAutoDefault(false);
    soundRow->addWidget(m_soundeffect, 1);
    soundRow->addWidget(m_browse);
    layout->addLayout(soundRow);

    auto *threads = new QGridLayout;
    m_numthreads = new QSlider(Qt::Horizontal, this);
    m_numthreads->setObjectName(u"numthreads"_s);
    m_numthreads->setRange(1, 10);
    m_numthreads->setPageStep(1);
    m_numthreads->setTickPosition(QSlider::TicksBelow);
    m_numthreads->setTickInterval(1);
    auto *threadsLabel = new QLabel(u"Retrieval Processes:"_s, this);
    threadsLabel->setBuddy(m_numthreads);
    m_threadCount = new QLabel(this);
    m_threadCount->setObjectName(u"threadcount"_s);
    m_threadCount->setMinimumWidth(m_threadCount->fontMetrics().horizontalAdvance(u"10"_s) + 4);
    threads->addWidget(threadsLabel, 0, 0);
    threads->addWidget(m_numthreads, 0, 1);
    threads->addWidget(m_threadCount, 0, 2);
    threads->addWidget(new SliderMarks(m_numthreads, this), 1, 1);
    threads->setColumnStretch(1, 1);
    layout->addSpacing(8);
    layout->addLayout(threads);
    layout->addStretch();

    connect(m_numthreads, &QSlider::valueChanged, this,
            [this](int value) { m_threadCount->setText(QString::number(value)); });
    connect(m_useeffect, &QCheckBox::clicked, this, &DefaultsPage::applyCouplings);
    connect(m_browse, &QPushButton::clicked, this, &DefaultsPage::browseSound);
}

void DefaultsPage::load(const Settings &s)
{
    m_defaulturl->setText(s.defaulturl);
    m_placeintray->setChecked(s.placeintray);
    m_systemtray->setChecked(s.systemtray);
    m_useeffect->setChecked(s.useeffect);
    m_soundeffect->setText(s.soundeffect);
    m_numthreads->setValue(s.numthreads);
    m_threadCount->setText(QString::number(m_numthreads->value()));
    applyCouplings();
}

void DefaultsPage::store(Settings &s) const
{
    s.defaulturl = m_defaulturl->text();
    s.placeintray = m_placeintray->isChecked();
    s.systemtray = m_systemtray->isChecked();
    s.useeffect = m_useeffect->isChecked();
    s.soundeffect = m_soundeffect->text();
    s.numthreads = m_numthreads->value();
}

void DefaultsPage::applyCouplings()
{
    m_soundeffect->setEnabled(m_useeffect->isChecked());
    m_browse->setEnabled(m_useeffect->isChecked());
}

void DefaultsPage::browseSound()
{
    if (!m_soundChooser) {
        m_soundChooser = new QFileDialog(this, u"Specify Sound Effect"_s);
        m_soundChooser->setObjectName(u"soundchooser"_s);
        m_soundChooser->setNameFilter(u"WAV Files (*.wav)"_s);
        m_soundChooser->setDefaultSuffix(u"wav"_s);
        m_soundChooser->setFileMode(QFileDialog::ExistingFile);
        m_soundChooser->setAcceptMode(QFileDialog::AcceptOpen);
        connect(m_soundChooser, &QFileDialog::fileSelected, this, &DefaultsPage::takeSoundFile);
    }
    m_soundChooser->setDirectory(paths::installDir());
    m_soundChooser->open();
}

void DefaultsPage::takeSoundFile(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile()) {
        gui::Prompt::error(this, QString::fromUtf8(text::kSoundFileMissing));
        return;
    }
    m_soundeffect->setText(file.absoluteFilePath());
    m_useeffect->setChecked(true);
    applyCouplings();
}

} // namespace pw::client
