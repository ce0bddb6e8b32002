#include "ui/main/form4.h"

#include "platform/colour.h"
#include "platform/twips.h"
#include "text/show_chapter.h"
#include "ui/common/background.h"
#include "ui/common/picture_cache.h"
#include "ui/dialogs/form3.h"
#include "ui/main/form2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>

// The built-in pictures live in a static library, whose resource
// initializer the linker would drop unless called by name.
static void InitBuiltInPictures()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

const QString kNavigationFont = QStringLiteral("黑体");

ClickableLabel* MakeButtonPicture(QWidget* parent, const QString& name, int index)
{
    auto* image = new ClickableLabel(parent);
    image->setObjectName(name);
    image->setProperty("index", index);
    image->setPixmap(QPixmap(QStringLiteral(":/button.png")));
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return image;
}

// A caption 375 twips wide: it wraps one character a line and reads from
// top to bottom; what does not fit the height is cut off.
ClickableLabel* MakeCaption(QWidget* parent, const QString& name, int index, const QString& caption)
{
    auto* label = new VerticalCaption(caption, parent);
    label->setObjectName(name);
    label->setProperty("index", index);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAutoFillBackground(false);
    label->setContentsMargins(0, 0, 0, 0);
    QFont font(kNavigationFont);
    font.setPointSizeF(15);
    font.setWeight(QFont::Normal);
    label->setFont(font);
    return label;
}

void Place(QWidget* widget, const TwipsBox& box)
{
    widget->setGeometry(TwipsRect(box.left, box.top, box.width, box.height));
}

}  // namespace

Form4::Form4(ReaderState& state, Prompter& prompter, const QString& programFolder, QWidget* parent)
    : QMainWindow(parent)
    , state_(state)
    , prompter_(prompter)
    , programFolder_(programFolder)
    , pictures_(std::make_unique<PictureCache>())
{
    InitBuiltInPictures();
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("NandeoTxt文件阅读器"));
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    BuildControls();
    BuildMenus();
    Form_Load();
    // Maximized; without a window manager to do it, fill the screen ourselves.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(Qt::WindowMaximized);
}

Form4::~Form4() = default;

void Form4::BuildControls()
{
    canvas_ = new QWidget(this);
    canvas_->setObjectName(QStringLiteral("canvas"));
    canvas_->setAutoFillBackground(true);
    setCentralWidget(canvas_);
    resize(TwipsToPixels(14685), TwipsToPixels(7140));

    // Made back to front: the band, the button pictures, their captions,
    // then the panel and the pane, which are windows of their own.
    Label1 = new QLabel(canvas_);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAutoFillBackground(true);
    for (int k = 0; k < 3; ++k) {
        Image1[k] = MakeButtonPicture(canvas_, QStringLiteral("Image1"), k);
        Image2[k] = MakeButtonPicture(canvas_, QStringLiteral("Image2"), k);
    }
    const QString right[] = {QStringLiteral("上一页"), QStringLiteral("主目录"), QStringLiteral("下一页")};
    const QString left[] = {QStringLiteral("上一本"), QStringLiteral("下一本封面"), QStringLiteral("主封面")};
    for (int k = 0; k < 3; ++k) {
        Label2[k] = MakeCaption(canvas_, QStringLiteral("Label2"), k, right[k]);
        Label3[k] = MakeCaption(canvas_, QStringLiteral("Label3"), k, left[k]);
        connect(Image1[k], &ClickableLabel::Clicked, this, [this, k] { Image1_Click(k); });
        connect(Image2[k], &ClickableLabel::Clicked, this, [this, k] { Image2_Click(k); });
        connect(Label2[k], &ClickableLabel::Clicked, this, [this, k] { Label2_Click(k); });
        connect(Label3[k], &ClickableLabel::Clicked, this, [this, k] { Label3_Click(k); });
    }
    Picture1 = new PictureBox(canvas_);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->SetPicture(QImage(QStringLiteral(":/title.png")));
    Text1 = new ReadingPane(canvas_);
    Text1->setObjectName(QStringLiteral("Text1"));
    connect(Text1, &ReadingPane::KeyPress, this, &Form4::Text1_KeyPress);
    connect(Text1, &QPlainTextEdit::textChanged, this, &Form4::Text1_Change);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &Form4::Timer1_Timer);
    Timer1->start();
}

void Form4::BuildMenus()
{
    auto action = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        return item;
    };
    auto submenu = [](QWidget* parent, const char* name, const QString& caption) {
        auto* menu = new QMenu(caption, parent);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };

    files = submenu(this, "files", QStringLiteral("文件"));
    open = action(files, "open", QStringLiteral("打开"));
    cor = action(files, "cor", QStringLiteral("另存为Cor文件"));
    cor->setEnabled(false);
    chno = action(files, "chno", QStringLiteral("转入记事本"));
    openfils = action(files, "openfils", QStringLiteral("打开文件夹"));
    Lfile = submenu(files, "Lfile", QStringLiteral("最近打开的文件"));
    files->addMenu(Lfile);
    Nl = new MenuItemArray(Lfile, QStringLiteral("Nl"), QStringLiteral("空"));
    quit = action(files, "quit", QStringLiteral("退出"));

    Ciw = submenu(this, "Ciw", QStringLiteral("查看"));
    allbook = submenu(Ciw, "allbook", QStringLiteral("所有电子书"));
    Ciw->addMenu(allbook);
    Bnull = new MenuItemArray(allbook, QStringLiteral("Bnull"), QStringLiteral("空"));
    ListT = submenu(Ciw, "ListT", QStringLiteral("所有章节"));
    Ciw->addMenu(ListT);
    ZNull = new MenuItemArray(ListT, QStringLiteral("ZNull"), QStringLiteral("空"));
    find = action(Ciw, "find", QStringLiteral("查找(&F)"));

    font1 = submenu(this, "font1", QStringLiteral("字体"));
    Llfont = action(font1, "Llfont", QStringLiteral("特大字体"));
    Lfont = action(font1, "Lfont", QStringLiteral("大字体"));
    xfont = action(font1, "xfont", QStringLiteral("中字体"));
    sfont = action(font1, "sfont", QStringLiteral("小字体"));
    ssfont = action(font1, "ssfont", QStringLiteral("超小字体"));

    ski = submenu(this, "ski", QStringLiteral("皮肤"));
    skin = new MenuItemArray(ski, QStringLiteral("skin"), QStringLiteral("自定义皮肤"));

    for (QMenu* menu : {files, Ciw, font1, ski})
        menuBar()->addMenu(menu);

    connect(open, &QAction::triggered, this, &Form4::open_Click);
    connect(cor, &QAction::triggered, this, &Form4::cor_Click);
    connect(chno, &QAction::triggered, this, &Form4::chno_Click);
    connect(openfils, &QAction::triggered, this, &Form4::openfils_Click);
    connect(quit, &QAction::triggered, this, &Form4::quit_Click);
    connect(find, &QAction::triggered, this, &Form4::find_Click);
    connect(Llfont, &QAction::triggered, this, &Form4::Llfont_Click);
    connect(Lfont, &QAction::triggered, this, &Form4::Lfont_Click);
    connect(xfont, &QAction::triggered, this, &Form4::xfont_Click);
    connect(sfont, &QAction::triggered, this, &Form4::sfont_Click);
    connect(ssfont, &QAction::triggered, this, &Form4::ssfont_Click);
    connect(Nl, &MenuItemArray::Clicked, this, &Form4::Nl_Click);
    connect(Bnull, &MenuItemArray::Clicked, this, &Form4::Bnull_Click);
    connect(ZNull, &MenuItemArray::Clicked, this, &Form4::ZNull_Click);
    connect(skin, &MenuItemArray::Clicked, this, &Form4::skin_Click);
}

// Colours, font size and the layout for this screen; no book, no skin.
void Form4::Form_Load()
{
    const QColor paper = Rgb(192, 240, 249);
    SetPaneColors(nullptr, &paper);
    QFont font = Text1->font();
    font.setPointSizeF(14);
    Text1->setFont(font);
    Picture1->SetBackColor(paper);
    SetBandColor(Rgb(5, 85, 100));
    Label1->setText(QString());
    const QSizeF screen = ScreenSizeInTwips();
    LayOut(screen.width(), screen.height());
}

void Form4::LayOut(double screenWidth, double screenHeight)
{
    layout_ = LayoutForScreen(screenWidth, screenHeight);
    Place(Label1, layout_.Label1);
    Place(Picture1, layout_.Picture1);
    Place(Text1, layout_.Text1);
    for (int k = 0; k < 3; ++k) {
        Place(Image1[k], layout_.Image1[k]);
        Place(Label2[k], layout_.Label2[k]);
        Place(Image2[k], layout_.Image2[k]);
        Place(Label3[k], layout_.Label3[k]);
    }
    canvas_->setMinimumSize(TwipsToPixels(screenWidth), 0);
}

void Form4::SetBackColor(const QColor& colour)
{
    SetBackground(canvas_, colour);
}

QColor Form4::BackColor() const
{
    return Background(canvas_);
}

void Form4::SetBandColor(const QColor& colour)
{
    SetBackground(Label1, colour);
}

QColor Form4::BandColor() const
{
    return Background(Label1);
}

void Form4::SetPaneColors(const QColor* text, const QColor* background)
{
    QPalette palette = Text1->palette();
    if (text)
        palette.setColor(QPalette::Text, *text);
    if (background)
        palette.setColor(QPalette::Base, *background);
    if (palette != Text1->palette())
        Text1->setPalette(palette);
}

Form2& Form4::Splash()
{
    if (!splash_)
        splash_ = new Form2(this);
    return *splash_;
}

Form3& Form4::Cover()
{
    if (!cover_)
        cover_ = new Form3(*this);
    return *cover_;
}

bool Form4::PaneIsEmpty() const
{
    return Text1->Length() == 0;
}

bool Form4::Yield()
{
    if (!quitting_)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !quitting_;
}

void Form4::ShowChapter()
{
    ::ShowChapter(*this);
}
