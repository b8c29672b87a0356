#include "windows/MainForm.h"

#include "core/Clock.h"
#include "core/CodePage932.h"
#include "core/Diary.h"
#include "core/DiaryDate.h"
#include "core/IniFile32.h"
#include "core/WindowPlace.h"
#include "editor/ColorMemo.h"
#include "skin/Scheme.h"
#include "widgets/AccessibleNames.h"
#include "widgets/AnimateWindow.h"
#include "widgets/AutoSave.h"
#include "widgets/CursorRegistry.h"
#include "widgets/Dialogs.h"
#include "widgets/ImageButton.h"
#include "widgets/SlideBar.h"
#include "windows/ArchiveFlow.h"
#include "windows/CalendarForm.h"
#include "windows/PasswordForm.h"
#include "windows/SearchForm.h"
#include "windows/SettingsForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <limits>

namespace {
constexpr int LeftoverCleanupDelayMs = 1000;
const QSize DayButtonSize(27, 23);
const QSize TodayButtonSize(17, 17);

QFont uiFont(int pixelSize, bool bold = false)
{
    QFont font(Settings::defaultFontName());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* makeLabel(QWidget* parent, const QString& text, const QRect& geometry, const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setGeometry(geometry);
    if (geometry.width() == 0) {
        label->adjustSize();
        label->resize(label->width(), geometry.height());
    }
    return label;
}

QLabel* makePicture(QWidget* parent, const QString& resource, const QRect& geometry)
{
    auto* picture = new QLabel(parent);
    picture->setGeometry(geometry);
    picture->setPixmap(QPixmap(resource));
    return picture;
}

QToolButton* makeGlyphButton(QWidget* parent, const QString& resource, int left)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIcon(QIcon(resource));
    button->setIconSize(QSize(16, 16));
    button->setGeometry(left, 3, 16, 16);
    return button;
}

void setTextColour(QWidget* widget, QRgb colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor(colour));
    palette.setColor(QPalette::Text, QColor(colour));
    widget->setPalette(palette);
}

} // namespace

TForm1::TForm1(const QString& programFolder, const Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_clock(clock),
      m_programFolder(programFolder)
{
    // The design's face is a Windows font; the closest face on this system stands in for it.
    QFont::insertSubstitution(Settings::defaultFontName(), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"));

    setWindowTitle(QStringLiteral("Tobiquill"));
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    createComponents();
    createMenu();
}

TForm1::~TForm1() = default;

void TForm1::createComponents()
{
    Image1 = new QLabel(this);
    Image1->setGeometry(0, 0, 320, 320);
    Image1->setContextMenuPolicy(Qt::CustomContextMenu);

    Image11 = makePicture(this, QStringLiteral(":/image11.png"), QRect(6, 4, 16, 16));
    const QFont captionFont = uiFont(12);
    Label4 = makeLabel(this, QStringLiteral("Tobiquill"), QRect(25, 6, 0, 12), captionFont);
    Label3 = makeLabel(this, QStringLiteral("Tobiquill"), QRect(24, 5, 0, 12), captionFont);
    Label2 = new QLabel(this);
    Label2->setGeometry(16, 2, 241, 17);
    Label2->setContextMenuPolicy(Qt::CustomContextMenu);
    Label2->installEventFilter(this);

    SpeedButton1 = makeGlyphButton(this, QStringLiteral(":/glyph_menu.png"), 263);
    SpeedButton5 = makeGlyphButton(this, QStringLiteral(":/glyph_minimize.png"), 280);
    SpeedButton6 = makeGlyphButton(this, QStringLiteral(":/glyph_close.png"), 297);
    AnimateWindow1 = new TAnimateWindow(this);
    g = new TSlideBar(this);
    connect(g, &TSlideBar::OnChange, this, &TForm1::g_Change);

    Label1 = makeLabel(this, QString(), QRect(20, 36, 141, 16), uiFont(14, true));

    Yl = new ImageButton(this);
    Yl->setGeometry(QRect(QPoint(216, 32), DayButtonSize));
    today = new ImageButton(this);
    today->setGeometry(QRect(QPoint(251, 35), TodayButtonSize));
    today->setToolTip(QStringLiteral("Today"));
    Yr = new ImageButton(this);
    Yr->setGeometry(QRect(QPoint(276, 32), DayButtonSize));
    Label6 = makeLabel(this, QStringLiteral("Prev"), QRect(218, 55, 25, 9), uiFont(10, true));
    Label7 = makeLabel(this, QStringLiteral("Next"), QRect(276, 55, 25, 10), uiFont(10, true));
    Image12 = makePicture(this, QStringLiteral(":/image12.png"), QRect(188, 55, 16, 16));
    cal = new ImageButton(this);
    cal->setGeometry(QRect(QPoint(247, 65), DayButtonSize));
    Label8 = makeLabel(this, QStringLiteral("Calendar"), QRect(236, 88, 0, 10), uiFont(10, true));
    Label9 = makeLabel(this, QStringLiteral("Title"), QRect(18, 73, 25, 9), uiFont(11, true));

    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(48, 73, 161, 16);
    Edit1->setFrame(false);
    Edit1->setFont(uiFont(12));
    Edit1->setTextMargins(0, 0, 0, 0);
    // A title of any length the file holds is shown and saved whole.
    Edit1->setMaxLength(std::numeric_limits<int>::max());

    Memo1 = new TColorMemo(this);
    Memo1->setGeometry(24, 104, 276, 194);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setTabChangesFocus(false);
    setTabOrder(Edit1, Memo1);

    const std::initializer_list<std::pair<QWidget*, const char*>> names = {
        {Image1, "Image1"},
        {Image11, "Image11"},
        {Label4, "Label4"},
        {Label3, "Label3"},
        {Label2, "Label2"},
        {SpeedButton1, "SpeedButton1"},
        {SpeedButton5, "SpeedButton5"},
        {SpeedButton6, "SpeedButton6"},
        {Label1, "Label1"},
        {Yl, "Yl"},
        {today, "today"},
        {Yr, "Yr"},
        {Label6, "Label6"},
        {Label7, "Label7"},
        {Image12, "Image12"},
        {cal, "cal"},
        {Label8, "Label8"},
        {Label9, "Label9"},
        {Edit1, "Edit1"},
        {Memo1, "Memo1"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(QLatin1String(name));
    AccessibleNames::apply(this);

    // Key preview: the window sees a key before the control that has the focus.
    for (QWidget* w : std::initializer_list<QWidget*>{this, Edit1, Memo1, Yl, today, Yr, cal,
                                                      SpeedButton1, SpeedButton5, SpeedButton6})
        w->installEventFilter(this);

    connect(Yl, &ImageButton::mouseDown, this, [this] { dayButtonDown(Yl, m_skin.Image5); });
    connect(Yr, &ImageButton::mouseDown, this, [this] { dayButtonDown(Yr, m_skin.Image3); });
    connect(today, &ImageButton::mouseDown, this, [this] { dayButtonDown(today, m_skin.Image8); });
    connect(cal, &ImageButton::mouseDown, this, [this] { dayButtonDown(cal, m_skin.Image10); });
    connect(Yl, &ImageButton::mouseUp, this, &TForm1::YlMouseUp);
    connect(Yr, &ImageButton::mouseUp, this, &TForm1::YrMouseUp);
    connect(today, &ImageButton::mouseUp, this, &TForm1::todayMouseUp);
    connect(cal, &ImageButton::mouseUp, this, &TForm1::calMouseUp);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(SpeedButton5, &QToolButton::clicked, AnimateWindow1, &TAnimateWindow::AnimatedMinimize);
    connect(SpeedButton6, &QToolButton::clicked, this, &QWidget::close);
}

void TForm1::createMenu()
{
    PopupMenu1 = new QMenu(this);
    Font1 = PopupMenu1->addAction(QStringLiteral("Font"));
    N2 = PopupMenu1->addAction(QStringLiteral("Setting"));
    N1 = PopupMenu1->addAction(QStringLiteral("モルナの日記"));
    N1->setCheckable(true);
    N1->setChecked(true);
    forwordd1 = PopupMenu1->addAction(QStringLiteral("forwordd"));
    back1 = PopupMenu1->addAction(QStringLiteral("back"));
    today1 = PopupMenu1->addAction(QStringLiteral("today"));
    cal1 = PopupMenu1->addAction(QStringLiteral("cal"));
    // The search is reached by its shortcut only; the menu stays as designed.
    find1 = new QAction(QStringLiteral("find"), this);
    for (QAction* hidden : {forwordd1, back1, today1, cal1})
        hidden->setVisible(false);
    ScrollBar1 = PopupMenu1->addAction(QStringLiteral("Scroll Bar"));
    ScrollBar1->setCheckable(true);
    // The program's own items follow the design's.
    PopupMenu1->addSeparator();
    connect(PopupMenu1->addAction(QStringLiteral("検索... (Ctrl+F)")), &QAction::triggered, this,
            &TForm1::find1Click);
    connect(PopupMenu1->addAction(QStringLiteral("書き出し...")), &QAction::triggered, this,
            [this] { archiveFlow().exportDiary(); });
    connect(PopupMenu1->addAction(QStringLiteral("バックアップ...")), &QAction::triggered, this,
            [this] { archiveFlow().backup(); });

    connect(Font1, &QAction::triggered, this, &TForm1::Font1Click);
    connect(N2, &QAction::triggered, this, &TForm1::N2Click);
    connect(ScrollBar1, &QAction::triggered, this, &TForm1::ScrollBar1Click);
    connect(forwordd1, &QAction::triggered, this, &TForm1::YrMouseUp);
    connect(back1, &QAction::triggered, this, &TForm1::YlMouseUp);
    connect(today1, &QAction::triggered, this, &TForm1::todayMouseUp);
    connect(cal1, &QAction::triggered, this, &TForm1::calMouseUp);
    connect(find1, &QAction::triggered, this, &TForm1::find1Click);

    const auto popupAt = [this](QWidget* source) {
        return [this, source](const QPoint& pos) { PopupMenu1->popup(source->mapToGlobal(pos)); };
    };
    connect(Image1, &QWidget::customContextMenuRequested, this, popupAt(Image1));
    connect(Label2, &QWidget::customContextMenuRequested, this, popupAt(Label2));
}

bool TForm1::FormCreate()
{
    g->setMin(0);
    g->setMax(10);
    g->setPosition(10);
    CursorRegistry::registerAll();
    for (ImageButton* button : {Yl, today, Yr, cal})
        button->setCursor(CursorRegistry::cursor(5));
    Memo1->HotSpot().Cursor = CursorRegistry::cursor(1);

    if (!guarded([this] { m_diary = std::make_unique<Diary>(m_programFolder); })) {
        m_startupFailed = true;
        return false;
    }

    setFixedSize(Image1->size());
    applySettings();

    QImage scheme(QStringLiteral(":/scheme.png"));
    QImage buttons(QStringLiteral(":/buttons.png"));
    checkUserPictures(scheme, buttons);
    BuildSkin(scheme, buttons);

    if (!passwordGate()) {
        // Nothing of this start may reach the disk: the diary is let go unwritten.
        m_diary.reset();
        return false;
    }

    ShownDay::Page& page = *this;
    m_day = std::make_unique<ShownDay>(*m_diary, page, m_clock);
    const double startedAt = now();
    guarded([&] { addCompanionComment(startedAt - 1.0); });
    guarded([&] { addCompanionComment(startedAt); });

    changeDay(now());
    showFirstLine();
    startAutoSave();
    // Not urgent, and not worth delaying the first look at today's page for.
    QTimer::singleShot(LeftoverCleanupDelayMs, this, [this] {
        if (m_diary)
            m_diary->removeLeftovers();
    });
    return true;
}

void TForm1::startAutoSave()
{
    m_autoSave = new AutoSave(this, [this] {
        if (m_day)
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

    // The name is one family, as stored: "Foo, Bar" is no list of two.
    QFont bodyFont;
    bodyFont.setFamilies({s.fontName});
    bodyFont.setPointSize(s.fontSize > 0 ? s.fontSize : 9);
    Memo1->setFont(bodyFont);

    N1->setChecked(s.companion);
    ScrollBar1->setChecked(s.scrollBar);
    Memo1->setVerticalScrollBarPolicy(s.scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

// A user's picture replaces a built-in one only when it has the width the skin is cut for.
// A missing file forgets its path; a file of another width, or one that is no picture at all,
// is left alone and keeps its path, so the user can mend it in the settings.
void TForm1::checkUserPictures(QImage& scheme, QImage& buttons)
{
    const auto check = [this](QString& path, QImage& builtIn, int width) {
        if (path.isEmpty() || !QFileInfo(path).isFile()) {
            path.clear();
            return;
        }
        const QImage temp(path);
        if (temp.isNull()) {
            Dialogs::error(this, QStringLiteral("ﾌｧｲﾙ %1 は画像として読み込めません。"
                                                "組み込みの画像を使います。")
                                     .arg(path));
            return;
        }
        if (temp.width() == width)
            builtIn = temp;
    };
    check(m_settings.schemePath, scheme, 16);
    check(m_settings.buttonPath, buttons, 104);
}

void TForm1::BuildSkin(const QImage& scheme, const QImage& buttons)
{
    m_skin = Skin::build(scheme, buttons);
    const TSchemeColors& c = m_skin.SchemeColors;
    Image1->setPixmap(QPixmap::fromImage(m_skin.Image1));

    for (QWidget* editor : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Memo1)}) {
        QPalette palette = editor->palette();
        palette.setColor(QPalette::Base, QColor(c.BoxFill));
        palette.setColor(QPalette::Text, QColor(c.BodyText));
        editor->setPalette(palette);
    }
    setTextColour(Label3, c.CaptionText);
    setTextColour(Label4, c.CaptionShadow);
    setTextColour(Label1, c.DateText);
    for (QLabel* label : {Label6, Label7, Label8, Label9})
        setTextColour(label, c.LabelText);

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(c.Face));
    setPalette(palette);

    Yl->setPicture(buttonPicture(m_skin.Image4, Yl));
    Yr->setPicture(buttonPicture(m_skin.Image2, Yr));
    today->setPicture(buttonPicture(m_skin.Image7, today));
    cal->setPicture(buttonPicture(m_skin.Image9, cal));
}

QImage TForm1::buttonPicture(const QImage& face, const ImageButton* button) const
{
    return Scheme::buttonPicture(face, button->size(), m_skin.SchemeColors.Face);
}

// The prompt comes after the skin, whose picture and colours it shows, and before anything of
// the diary is written.
bool TForm1::passwordGate()
{
    if (!m_settings.usePassword)
        return true;
    TForm5 Form5(m_skin, m_settings.password, this);
    return Dialogs::exec(Form5) == 1;
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

void TForm1::dayButtonDown(ImageButton* button, const QImage& pressedFace)
{
    button->setPicture(buttonPicture(pressedFace, button));
}

// The day left is saved first; when that fails the command stops there and the day stays.
bool TForm1::dayButtonUp(ImageButton* button, const QImage& normalFace)
{
    if (!guarded([this] { m_day->save(); }))
        return false;
    button->setPicture(buttonPicture(normalFace, button));
    return true;
}

void TForm1::changeDay(double newDate)
{
    ShowDate(newDate);
    guarded([&] { m_day->moveTo(newDate); });
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

ArchiveFlow TForm1::archiveFlow()
{
    return ArchiveFlow(
        this, m_skin, m_programFolder, DiaryDate::toDate(m_day->date()),
        [this] { return guarded([this] { m_day->save(); }); }, ArchiveFlow::archiveProgram());
}

QAction* TForm1::shortcutAction(const QKeyEvent* event) const
{
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (mods != Qt::ControlModifier)
        return nullptr;
    switch (event->key()) {
    case Qt::Key_Period:
        return forwordd1;
    case Qt::Key_Comma:
        return back1;
    case Qt::Key_T:
        return today1;
    case Qt::Key_K:
        return cal1;
    case Qt::Key_F:
        return find1;
    default:
        return nullptr;
    }
}

// The shortcuts act when the key comes up, judged by the modifiers held at that moment. The
// release that ran one goes no further: a command that opens a modal window moves the focus, and
// the same release passed on to the window afterwards would run the command a second time.
bool TForm1::FormKeyUp(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return false;
    QAction* action = shortcutAction(event);
    if (!action)
        return false;
    action->trigger();
    return true;
}

void TForm1::SpeedButton1Click()
{
    PopupMenu1->popup(mapToGlobal(QPoint(SpeedButton1->x(), SpeedButton1->y() + 16)));
}

// The new values live here until close writes them; a new skin shows at the next start.
void TForm1::N2Click()
{
    TForm4 Form4(m_skin, m_settings, this);
    if (Dialogs::exec(Form4) != 1)
        return;
    const Settings& edited = Form4.values();
    m_settings.userName = edited.userName;
    m_settings.password = edited.password;
    m_settings.usePassword = edited.usePassword;
    m_settings.schemePath = edited.schemePath;
    m_settings.buttonPath = edited.buttonPath;
}

void TForm1::Font1Click()
{
    const std::optional<QFont> chosen = Dialogs::chooseFont(this, Memo1->font());
    if (chosen && CodePage932::firstUnencodable(chosen->family()) >= 0) {
        // The name is kept in diary.ini, which could not hold it.
        Dialogs::error(this, QStringLiteral("フォント名「%1」には Shift-JIS で保存できない"
                                            "文字があるため、このフォントは使えません。")
                                 .arg(chosen->family()));
    } else if (chosen) {
        // The dialog offers no effects: underline and strike-out are not taken over.
        QFont font = *chosen;
        font.setUnderline(false);
        font.setStrikeOut(false);
        Memo1->setFont(font);
    }
    Memo1->setEnabled(false);
    Memo1->setEnabled(true);
}

void TForm1::ScrollBar1Click()
{
    Memo1->setVerticalScrollBarPolicy(ScrollBar1->isChecked() ? Qt::ScrollBarAlwaysOn
                                                              : Qt::ScrollBarAlwaysOff);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease || event->type() == QEvent::KeyPress) {
        // Each keystroke is judged once, where it is first delivered: at the control that
        // has the focus, or at the window when no control has it.
        const QWidget* focus = QApplication::focusWidget();
        if (watched != focus && (watched != this || isAncestorOf(focus)))
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyRelease)
            return FormKeyUp(key);
        // The editors give some of these keys a meaning of their own (Ctrl+K deletes to the
        // end of the line); pressing a shortcut must not change the text the day is saved with.
        return shortcutAction(key) != nullptr;
    }
    if (watched == Label2 && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && windowHandle()) {
        windowHandle()->startSystemMove();
        return true;
    }
    return QWidget::eventFilter(watched, event);
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
    s.fontName = Memo1->font().families().value(0, Memo1->font().family());
    s.fontSize = Memo1->font().pointSize();
    // A window not moved keeps the stored position, also one the system could not place.
    if (pos() != m_placedAt) {
        s.left = x();
        s.top = y();
    }
    s.companion = N1->isChecked();
    s.scrollBar = ScrollBar1->isChecked();
    s.write(m_diary->IniFile());
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
    if (!m_diary) {
        event->accept();
        return;
    }
    const std::optional<ShownDay::Unsaved> unsaved = m_day->leave([this] { writeSettings(); });
    if (unsaved && !leaveAnyway(*unsaved)) {
        event->ignore();
        return;
    }
    if (m_autoSave)
        m_autoSave->stop();
    m_day.reset();
    m_diary.reset();
    event->accept();
}

// The unsaved title and body are in a recovery file already when it could be written; then the
// user may leave without saving. When no folder took them, the window stays open with them. On a
// quit signal nobody is asked: the program ends unless the text could be kept nowhere, and the
// reasons go to standard error.
bool TForm1::leaveAnyway(const ShownDay::Unsaved& unsaved)
{
    const QString kept =
        unsaved.recoveryPath.isEmpty()
            ? unsaved.recoveryError
            : QStringLiteral("保存できなかった題名と本文を次のﾌｧｲﾙに書き出しました。\n%1\n\n")
                  .arg(QDir::toNativeSeparators(unsaved.recoveryPath));
    if (m_quitting) {
        QTextStream(stderr) << "tobiquill: " << unsaved.error << '\n' << kept << '\n';
        return unsaved.recoveryError.isEmpty();
    }
    Dialogs::error(this, unsaved.error);
    if (!unsaved.recoveryError.isEmpty()) {
        // Nothing took the text: the window stays with it, to be copied or saved later.
        Dialogs::error(this, kept + QStringLiteral("\nｳｨﾝﾄﾞｳは閉じずにおきます。"));
        return false;
    }
    return Dialogs::question(this, kept + QStringLiteral("保存せずに終了しますか?"));
}
