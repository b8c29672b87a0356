#include "windows/MainForm.h"

#include "core/diary/Diary.h"
#include "core/diary/DiaryWatcher.h"
#include "core/diary/EncryptedDiaries.h"
#include "core/diary/WindowPlace.h"
#include "core/storage/DiaryError.h"
#include "core/time/Clock.h"
#include "core/time/DiaryDate.h"
#include "editor/ColorMemo.h"
#include "skin/Scheme.h"
#include "skin/SkinLoader.h"
#include "widgets/AccessibleNames.h"
#include "widgets/Announcer.h"
#include "widgets/AutoSave.h"
#include "widgets/Dialogs.h"
#include "widgets/ImageButton.h"
#include "widgets/PictureFile.h"
#include "widgets/ShortcutKeys.h"
#include "widgets/SlideBar.h"
#include "windows/ArchiveFlow.h"
#include "windows/CalendarForm.h"
#include "windows/DeletionFlow.h"
#include "windows/EncryptionFlow.h"
#include "windows/ImportFlow.h"
#include "windows/LeaveFlow.h"
#include "windows/LookBackFlow.h"
#include "windows/SearchForm.h"
#include "windows/SettingsFlow.h"
#include "windows/UnlockFlow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {
constexpr int LeftoverCleanupDelayMs = 1000;
} // namespace

TForm1::TForm1(const QString& programFolder, const Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_clock(clock),
      m_programFolder(programFolder)
{
    setWindowTitle(QStringLiteral("Tobiquill"));
    setWindowIcon(QIcon(QPixmap::fromImage(PictureFile::read(QStringLiteral(":/icon.png")))));
    setupUi(this);
    m_announcer = new Announcer(this);
    AccessibleNames::apply(this);
    connectCommands();
}

TForm1::~TForm1() = default;

void TForm1::connectCommands()
{
    // The program's own items follow the design's.
    PopupMenu1->addSeparator();
    connect(PopupMenu1->addAction(QStringLiteral("検索... (Ctrl+F)")), &QAction::triggered, this,
            &TForm1::find1Click);
    QAction* lookBack1 = PopupMenu1->addAction(QStringLiteral("振り返り... (Ctrl+L)"));
    connect(lookBack1, &QAction::triggered, this, [this] {
        if (!m_lookBack)
            m_lookBack = std::make_unique<LookBackFlow>(
                this, m_skin, *m_diary, m_day->watcher(), m_clock,
                [this] { return guarded([this] { m_day->save(); }); },
                [this](double date) { changeDay(date); });
        m_lookBack->open(m_day->date());
    });
    // Ctrl with a key runs a menu command; the window sees the key before the focused control.
    new ShortcutKeys(this,
                     {Edit1, Memo1, Yl, today, Yr, cal, SpeedButton1, SpeedButton5, SpeedButton6},
                     {{Qt::Key_Period, forwordd1},
                      {Qt::Key_Comma, back1},
                      {Qt::Key_T, today1},
                      {Qt::Key_K, cal1},
                      {Qt::Key_F, find1},
                      {Qt::Key_L, lookBack1}});

    connect(g, &TSlideBar::OnChange, this, &TForm1::g_Change);
    connect(Yl, &ImageButton::mouseDown, this, [this] { showFace(Yl, m_skin.Image5, m_skin); });
    connect(Yr, &ImageButton::mouseDown, this, [this] { showFace(Yr, m_skin.Image3, m_skin); });
    connect(today, &ImageButton::mouseDown, this,
            [this] { showFace(today, m_skin.Image8, m_skin); });
    connect(cal, &ImageButton::mouseDown, this, [this] { showFace(cal, m_skin.Image10, m_skin); });
    connect(Yl, &ImageButton::mouseUp, this, &TForm1::YlMouseUp);
    connect(Yr, &ImageButton::mouseUp, this, &TForm1::YrMouseUp);
    connect(today, &ImageButton::mouseUp, this, &TForm1::todayMouseUp);
    connect(cal, &ImageButton::mouseUp, this, &TForm1::calMouseUp);
    connect(SpeedButton6, &QToolButton::clicked, this, &QWidget::close);

    connect(Font1, &QAction::triggered, this, [this] { SettingsFlow::chooseFont(this, *Memo1); });
    connect(N2, &QAction::triggered, this, [this] {
        SettingsFlow(this, m_skin, m_settings, *m_diary, [this] {
            return openEncryption(false);
        }).openSettings();
    });
    connect(forwordd1, &QAction::triggered, this, &TForm1::YrMouseUp);
    connect(back1, &QAction::triggered, this, &TForm1::YlMouseUp);
    connect(today1, &QAction::triggered, this, &TForm1::todayMouseUp);
    connect(cal1, &QAction::triggered, this, &TForm1::calMouseUp);
    connect(find1, &QAction::triggered, this, &TForm1::find1Click);
    ArchiveFlow::addToMenu(
        *PopupMenu1, this, m_skin, m_programFolder,
        [this] { return DiaryDate::toDate(m_day->date()); },
        [this] { return guarded([this] { m_day->save(); }); }, [this] { return m_diary->key(); });
    ImportFlow::addToMenu(
        *PopupMenu1, this, m_skin, [this]() -> Diary& { return *m_diary; },
        [this] { return guarded([this] { m_day->save(); }); },
        [this] { m_day->load(m_day->date()); });
    connect(PopupMenu1->addAction(QStringLiteral("暗号化...")), &QAction::triggered, this,
            [this] { openEncryption(false); });
    // Last, apart from the commands that keep the day.
    DeletionFlow::addToMenu(
        *PopupMenu1, this, [this] { return m_diary.get(); }, [this] { return m_day.get(); });
}

bool TForm1::FormCreate()
{
    showCursors();

    if (!guarded([this] { m_diary = std::make_unique<Diary>(m_programFolder); })) {
        m_startupFailed = true;
        return false;
    }
    emit diaryOpened();

    setFixedSize(Image1->size());
    applySettings();

    loadSkin();

    UnlockFlow unlock(
        this, m_skin, *m_diary, m_settings, [this] { openEncryption(true); },
        [this] { encryptionFlow().finishStopped(); });
    if (!unlock.run()) {
        // Nothing of this start may reach the disk: the diary is let go unwritten.
        m_diary.reset();
        return false;
    }

    ShownDay::Page& page = *this;
    m_day = std::make_unique<ShownDay>(*m_diary, page, m_clock);
    const double startedAt = now();
    // A diary that cannot be unlocked (its key file is gone) has no day to comment on.
    if (m_diary->isUnlocked()) {
        guarded([&] { addCompanionComment(startedAt - 1.0); });
        guarded([&] { addCompanionComment(startedAt); });
    }

    changeDay(now());
    showFirstLine();
    startAutoSave();
    connect(&m_day->watcher(), &DiaryWatcher::changed, this, [this] {
        if (!m_converting)
            guarded([this] { m_day->takeChangesOnDisk(); });
    });
    // Not urgent, and not worth delaying the first look at today's page for.
    QTimer::singleShot(LeftoverCleanupDelayMs, this, [this] {
        if (m_diary)
            m_diary->removeLeftovers();
        if (m_day)
            guarded([this] { m_day->takeChangesOnDisk(); });
    });
    return true;
}

void TForm1::startAutoSave()
{
    m_autoSave = new AutoSave(this, [this] {
        if (m_day && !m_converting)
            m_day->save();
    });
    connect(Memo1, &QPlainTextEdit::textChanged, m_autoSave, &AutoSave::touched);
    connect(Edit1, &QLineEdit::textEdited, m_autoSave, &AutoSave::touched);
}

void TForm1::applySettings()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(width(), height());
    m_settings = Settings::read(m_diary->IniFile(), screenSize, size());
    const Settings& s = m_settings;
    m_placedAt = WindowPlace::nearest(QPoint(s.left, s.top), size());
    QList<QRect> areas;
    for (const QScreen* each : QGuiApplication::screens())
        areas << each->availableGeometry();
    // The primary screen first: a window off every screen goes there.
    if (screen)
        areas.prepend(screen->availableGeometry());
    move(WindowPlace::onScreen(m_placedAt, size(), areas));
    showSettings(s);
}

// A file the loader refused is reported; the built-in picture shows in its place.
void TForm1::loadSkin()
{
    const SkinLoader::Loaded loaded =
        SkinLoader::load(m_settings, PictureFile::read(QStringLiteral(":/scheme.png")),
                         PictureFile::read(QStringLiteral(":/buttons.png")), PictureFile::read);
    for (const QString& refused : loaded.refused)
        Dialogs::error(this, refused);
    m_settings.schemePath = loaded.schemePath;
    m_settings.buttonPath = loaded.buttonPath;
    m_skin = loaded.skin;
    showSkin(this, m_skin);
}

double TForm1::now() const
{
    return DiaryDate::fromDateTime(m_clock.localNow());
}

void TForm1::ShowDate(double date)
{
    Label1->setText(DiaryDate::dateLine(date));
}

QString TForm1::title() const
{
    return Edit1->text();
}

QString TForm1::body() const
{
    return Memo1->text();
}

void TForm1::fill(const QString& title, const QString& body, bool locked)
{
    Memo1->setText(body);
    Edit1->setText(title);
    // The window's name is the day shown, its title as loaded: also after a sync tool's change.
    setAccessibleName(AccessibleNames::dayShown(Label1->text(), title));
    Memo1->setReadOnly(locked);
    Edit1->setReadOnly(locked);
    showFirstLine();
    // Filling the editors is no typing: the day just read has nothing to autosave.
    if (m_autoSave)
        m_autoSave->stop();
}

QStringList TForm1::bodyLines() const
{
    return Memo1->lines();
}

void TForm1::addBodyLine(const QString& line)
{
    Memo1->addLine(line);
}

void TForm1::showFirstLine()
{
    UpdateScrollRange();
    g->setPosition(g->Max());
}

void TForm1::UpdateScrollRange()
{
    ::UpdateScrollRange(*g, Memo1->displayLineCount(), Memo1->VisibleLineCount());
}

// Scrolls the body so that the line the model's position stands for comes first.
void TForm1::g_Change()
{
    Memo1->ScrollLines(0, g->line() - Memo1->FirstVisibleLine());
}

void TForm1::addCompanionComment(double reference)
{
    if (N1->isChecked())
        m_day->addCompanionComment(reference, m_settings.userName);
}

bool TForm1::guarded(const std::function<void()>& step)
{
    return Dialogs::guard(this, step);
}

// The day left is saved first; when that fails the command stops there and the day stays.
bool TForm1::dayButtonUp(ImageButton* button, const QImage& normalFace)
{
    if (!guarded([this] { m_day->save(); }))
        return false;
    showFace(button, normalFace, m_skin);
    return true;
}

// A screen reader says the day shown when it changes, and the window's accessible name, the day
// too, at start-up and whenever the window gains the focus.
void TForm1::changeDay(double newDate)
{
    ShowDate(newDate);
    guarded([&] { m_day->moveTo(newDate); });
    m_announcer->say(accessibleName());
    if (m_lookBack)
        m_lookBack->follow(newDate);
}

void TForm1::YlMouseUp()
{
    if (dayButtonUp(Yl, m_skin.Image4))
        changeDay(m_day->date() - 1.0);
}

void TForm1::YrMouseUp()
{
    if (dayButtonUp(Yr, m_skin.Image2))
        changeDay(m_day->date() + 1.0);
}

void TForm1::todayMouseUp()
{
    if (dayButtonUp(today, m_skin.Image7))
        changeDay(now());
}

// The calendar opens on the shown day, saved first so that it shows in bold. A close other
// than OK (Escape, the window manager) keeps the shown day.
void TForm1::calMouseUp()
{
    if (!dayButtonUp(cal, m_skin.Image9))
        return;
    if (!Form2)
        Form2 = std::make_unique<TForm2>(m_skin, *m_diary, m_clock, this);
    Form2->centreOver(geometry());
    Form2->ShownDate = m_day->date();
    if (Dialogs::exec(*Form2) == 1)
        changeDay(Form2->chosenDate());
}

// The search reads the days from disk, so the shown day is saved first; a day chosen there is
// reached like any other change of day.
void TForm1::find1Click()
{
    if (!guarded([this] { m_day->save(); }))
        return;
    TSearchForm form(m_skin, *m_diary, this);
    form.centreOver(geometry());
    if (Dialogs::exec(form) == QDialog::Accepted && form.chosenDate())
        changeDay(*form.chosenDate());
}

// A conversion saves the shown day first, and the window leaves the diary to it until it ends.
EncryptionFlow TForm1::encryptionFlow()
{
    return EncryptionFlow(
        this, m_skin, *m_diary, [this] { return !m_day || guarded([this] { m_day->save(); }); },
        [this](bool converting) {
            m_converting = converting;
            // The look back counts with the diary's key as it was when it opened.
            if (converting)
                m_lookBack.reset();
            else if (m_day)
                guarded([this] { m_day->takeChangesOnDisk(); });
        });
}

bool TForm1::openEncryption(bool afterRecovery)
{
    if (m_diary->keyMissing()) {
        Dialogs::error(this, EncryptedDiaries::noKeyFile(m_programFolder).message());
        return true;
    }
    encryptionFlow().open(afterRecovery);
    // An encrypted diary keeps no reversible password, here either.
    const bool encrypted = m_diary->isEncrypted();
    if (encrypted) {
        m_settings.password.clear();
        m_settings.usePassword = false;
    }
    return encrypted;
}

// The background is painted, not held as a picture: a 320 x 320 picture would stay in memory
// for as long as the window lives.
void TForm1::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Scheme::paintMainBackground(painter, m_skin.SchemeColors);
}

bool TForm1::FormClose()
{
    return guarded([this] {
        m_day->save();
        writeSettings();
    });
}

void TForm1::writeSettings()
{
    Settings& s = m_settings;
    keepSettings(s);
    // A window not moved keeps the stored position, also one the system could not place.
    if (pos() != m_placedAt) {
        s.left = x();
        s.top = y();
    }
    m_diary->writeSettings(s);
}

bool TForm1::quit()
{
    m_quitting = true;
    const bool closed = close();
    m_quitting = false;
    return closed;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // A quit signal waits for the conversion under way.
    if (m_converting) {
        event->ignore();
        return;
    }
    if (!m_diary) {
        event->accept();
        return;
    }
    const std::optional<ShownDay::Unsaved> unsaved = m_day->leave([this] { writeSettings(); });
    if (unsaved && !LeaveFlow::leaveAnyway(this, *unsaved, m_quitting)) {
        event->ignore();
        return;
    }
    if (m_autoSave)
        m_autoSave->stop();
    // The look back reads the diary and its watcher: it goes before them.
    m_lookBack.reset();
    m_day.reset();
    m_diary.reset();
    event->accept();
}
