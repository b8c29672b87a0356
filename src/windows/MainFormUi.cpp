#include "windows/MainFormUi.h"

#include "core/diary/Settings.h"
#include "editor/ColorMemo.h"
#include "skin/Scheme.h"
#include "skin/Skin.h"
#include "widgets/AnimateWindow.h"
#include "widgets/CaptionDrag.h"
#include "widgets/CursorRegistry.h"
#include "widgets/ImageButton.h"
#include "widgets/PictureFile.h"
#include "widgets/SkinnedForm.h"
#include "widgets/SlideBar.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include <limits>

namespace {
const QSize DayButtonSize(27, 23);
const QSize TodayButtonSize(17, 17);

// A label of width 0 takes its text's width.
QLabel* makeLabel(QWidget* parent, const QString& text, const QRect& geometry, int pixelSize,
                  bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setFont(SkinnedForm::windowFont(pixelSize, bold));
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
    picture->setPixmap(QPixmap::fromImage(PictureFile::read(resource)));
    return picture;
}

QToolButton* makeGlyphButton(QWidget* parent, const QString& resource, int left)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIcon(QIcon(QPixmap::fromImage(PictureFile::read(resource))));
    button->setIconSize(QSize(16, 16));
    button->setGeometry(left, 3, 16, 16);
    return button;
}

ImageButton* makeImageButton(QWidget* parent, const QPoint& at, const QSize& size)
{
    auto* button = new ImageButton(parent);
    button->setGeometry(QRect(at, size));
    return button;
}
} // namespace

void MainFormUi::setupUi(QWidget* window)
{
    // The design's face is a Windows font; the closest face on this system stands in for it.
    QFont::insertSubstitution(Settings::defaultFontName(), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"));

    Image1 = new QLabel(window);
    Image1->setGeometry(0, 0, 320, 320);
    Image1->setContextMenuPolicy(Qt::CustomContextMenu);

    Image11 = makePicture(window, QStringLiteral(":/image11.png"), QRect(6, 4, 16, 16));
    Label4 = makeLabel(window, QStringLiteral("Tobiquill"), QRect(25, 6, 0, 12), 12, false);
    Label3 = makeLabel(window, QStringLiteral("Tobiquill"), QRect(24, 5, 0, 12), 12, false);
    Label2 = new QLabel(window);
    Label2->setGeometry(16, 2, 241, 17);
    Label2->setContextMenuPolicy(Qt::CustomContextMenu);
    CaptionDrag::install(Label2);

    SpeedButton1 = makeGlyphButton(window, QStringLiteral(":/glyph_menu.png"), 263);
    SpeedButton5 = makeGlyphButton(window, QStringLiteral(":/glyph_minimize.png"), 280);
    SpeedButton6 = makeGlyphButton(window, QStringLiteral(":/glyph_close.png"), 297);
    AnimateWindow1 = new TAnimateWindow(window);
    g = new TSlideBar(window);
    g->setMin(0);
    g->setMax(10);
    g->setPosition(10);

    Label1 = makeLabel(window, QString(), QRect(20, 36, 141, 16), 14, true);
    Yl = makeImageButton(window, QPoint(216, 32), DayButtonSize);
    today = makeImageButton(window, QPoint(251, 35), TodayButtonSize);
    today->setToolTip(QStringLiteral("Today"));
    Yr = makeImageButton(window, QPoint(276, 32), DayButtonSize);
    Label6 = makeLabel(window, QStringLiteral("Prev"), QRect(218, 55, 25, 9), 10, true);
    Label7 = makeLabel(window, QStringLiteral("Next"), QRect(276, 55, 25, 10), 10, true);
    Image12 = makePicture(window, QStringLiteral(":/image12.png"), QRect(188, 55, 16, 16));
    cal = makeImageButton(window, QPoint(247, 65), DayButtonSize);
    Label8 = makeLabel(window, QStringLiteral("Calendar"), QRect(236, 88, 0, 10), 10, true);
    Label9 = makeLabel(window, QStringLiteral("Title"), QRect(18, 73, 25, 9), 11, true);

    // The title and the body lay out an empty line in the application's font and then in their
    // parent's while they are built. Built while both are the window's face, start-up loads one
    // font file instead of two.
    const QFont applicationFont = QApplication::font();
    QApplication::setFont(SkinnedForm::windowFont(12));
    window->setFont(SkinnedForm::windowFont(12));
    Edit1 = new QLineEdit(window);
    Memo1 = new TColorMemo(window);
    QApplication::setFont(applicationFont);
    Edit1->setGeometry(48, 73, 161, 16);
    Edit1->setFrame(false);
    Edit1->setTextMargins(0, 0, 0, 0);
    // A title of any length the file holds is shown and saved whole.
    Edit1->setMaxLength(std::numeric_limits<int>::max());

    Memo1->setGeometry(24, 104, 276, 194);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setTabChangesFocus(false);
    QWidget::setTabOrder(Edit1, Memo1);

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

    PopupMenu1 = new QMenu(window);
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
    find1 = new QAction(QStringLiteral("find"), window);
    for (QAction* hidden : {forwordd1, back1, today1, cal1})
        hidden->setVisible(false);
    ScrollBar1 = PopupMenu1->addAction(QStringLiteral("Scroll Bar"));
    ScrollBar1->setCheckable(true);

    const auto popupAt = [this](QWidget* source) {
        return [this, source](const QPoint& pos) { PopupMenu1->popup(source->mapToGlobal(pos)); };
    };
    QObject::connect(Image1, &QWidget::customContextMenuRequested, window, popupAt(Image1));
    QObject::connect(Label2, &QWidget::customContextMenuRequested, window, popupAt(Label2));
    QObject::connect(SpeedButton1, &QToolButton::clicked, window,
                     [this] { PopupMenu1->popup(SpeedButton1->mapToGlobal(QPoint(0, 16))); });
    QObject::connect(SpeedButton5, &QToolButton::clicked, AnimateWindow1,
                     &TAnimateWindow::AnimatedMinimize);
    QObject::connect(ScrollBar1, &QAction::triggered, window, [this](bool shown) {
        Memo1->setVerticalScrollBarPolicy(shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    });
}

void MainFormUi::showSkin(QWidget* window, const Skin& skin)
{
    const TSchemeColors& c = skin.SchemeColors;
    // The window paints its background from the colours (TForm1::paintEvent).
    window->update();
    for (QWidget* editor : std::initializer_list<QWidget*>{Edit1, Memo1}) {
        QPalette palette = editor->palette();
        palette.setColor(QPalette::Base, QColor(c.BoxFill));
        palette.setColor(QPalette::Text, QColor(c.BodyText));
        editor->setPalette(palette);
    }
    SkinnedForm::setTextColour(Label3, c.CaptionText);
    SkinnedForm::setTextColour(Label4, c.CaptionShadow);
    SkinnedForm::setTextColour(Label1, c.DateText);
    for (QLabel* label : {Label6, Label7, Label8, Label9})
        SkinnedForm::setTextColour(label, c.LabelText);

    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(c.Face));
    window->setPalette(palette);

    showFace(Yl, skin.Image4, skin);
    showFace(Yr, skin.Image2, skin);
    showFace(today, skin.Image7, skin);
    showFace(cal, skin.Image9, skin);
}

void MainFormUi::showFace(ImageButton* button, const QImage& face, const Skin& skin)
{
    button->setPicture(Scheme::buttonPicture(face, button->size(), skin.SchemeColors.Face));
}

void MainFormUi::showCursors()
{
    CursorRegistry::registerAll();
    for (ImageButton* button : {Yl, today, Yr, cal})
        button->setCursor(CursorRegistry::cursor(5));
    Memo1->HotSpot().Cursor = CursorRegistry::cursor(1);
}

void MainFormUi::showSettings(const Settings& settings)
{
    // The name is one family, as stored: "Foo, Bar" is no list of two.
    QFont bodyFont;
    bodyFont.setFamilies({settings.fontName});
    bodyFont.setPointSize(settings.fontSize > 0 ? settings.fontSize : 9);
    Memo1->setFont(bodyFont);

    N1->setChecked(settings.companion);
    ScrollBar1->setChecked(settings.scrollBar);
    Memo1->setVerticalScrollBarPolicy(settings.scrollBar ? Qt::ScrollBarAlwaysOn
                                                         : Qt::ScrollBarAlwaysOff);
}

void MainFormUi::keepSettings(Settings& settings) const
{
    settings.fontName = Memo1->font().families().value(0, Memo1->font().family());
    settings.fontSize = Memo1->font().pointSize();
    settings.companion = N1->isChecked();
    settings.scrollBar = ScrollBar1->isChecked();
}
