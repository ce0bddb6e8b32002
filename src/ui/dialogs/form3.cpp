#include "ui/dialogs/form3.h"

#include "platform/colour.h"
#include "platform/twips.h"
#include "skin/skin_values.h"
#include "ui/common/background.h"
#include "ui/main/form4.h"

#include <QFileInfo>

namespace {

const QColor kCoverBack = Rgb(21, 95, 120);

}  // namespace

Form3::Form3(Form4& main)
    : QWidget(&main, Qt::Window)
    , main_(main)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("封面"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    resize(TwipsToPixels(10050), TwipsToPixels(9540));

    Picture1 = new PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(TwipsRect(0, 0, 5535, 5175));
    Picture1->SetPicture(QImage(QStringLiteral(":/cover.png")));

    Picture2 = new PictureBox(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setGeometry(TwipsRect(0, 6120, 7575, 1455));
    Frame1 = new QWidget(Picture2);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setAutoFillBackground(true);
    Frame1->setGeometry(TwipsRect(240, 480, 7095, 15));

    Frame2 = new QWidget(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setAutoFillBackground(true);
    Frame2->setGeometry(TwipsRect(0, 7800, 5655, 1575));
    const QString contact[] = {QStringLiteral("NandeoTxt 文件阅读器"),
                               QStringLiteral("按章节阅读 GBK 与 UTF-8 文本小说"),
                               QStringLiteral("皮肤、书签与最近文件均保存在程序目录")};
    for (int k = 0; k < 3; ++k) {
        Label1[k] = new QLabel(contact[k], Frame2);
        Label1[k]->setObjectName(QStringLiteral("Label1"));
        Label1[k]->setProperty("index", k);
        Label1[k]->setGeometry(TwipsRect(240, 240 + k * 420, 5200, 360));
        QPalette palette = Label1[k]->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        Label1[k]->setPalette(palette);
    }
    DrawCoverTitle();
    setWindowState(Qt::WindowMaximized);
}

void Form3::SetBackColor(const QColor& colour)
{
    SetBackground(this, colour);
}

QColor Form3::BackColor() const
{
    return Background(this);
}

void Form3::DrawCoverTitle()
{
    ReaderState& state = main_.State();
    SetBackColor(kCoverBack);
    const QString title = state.Books.IsBook(state.CurrentBook) ? state.Current().FileName : QString();
    CentrePanels();

    QFont font(QStringLiteral("隶书"));
    font.setPointSizeF(30);
    Picture1->SetFont(font);
    Picture1->CurrentY = 1130;
    Picture1->SetForeColor(Rgb(162, 153, 153));
    Picture1->CurrentX = (Picture1->ScaleWidth() - Picture1->TextWidth(title)) / 2 + 30;
    Picture1->Print(title);
    const QString fore = state.Skin(QStringLiteral("FForecolor"));
    if (fore.isEmpty()) {
        Picture1->SetForeColor(Rgb(46, 132, 49));
    } else if (const auto value = ParseSkinColour(fore)) {
        Picture1->SetForeColor(ColourFromValue(*value));
    }
    Picture1->CurrentY = 1100;
    Picture1->CurrentX = (Picture1->ScaleWidth() - Picture1->TextWidth(title)) / 2;
    Picture1->Print(title);

    // The panel about the reader: a heading, a rule, three lines.
    Picture2->SetBackColor(Rgb(192, 240, 249));
    QFont heading(QStringLiteral("黑体"));
    heading.setPointSizeF(14);
    heading.setBold(true);
    Picture2->SetFont(heading);
    Picture2->SetForeColor(Rgb(5, 85, 100));
    Picture2->CurrentX = 240;
    Picture2->CurrentY = 120;
    Picture2->Print(QStringLiteral("阅读小贴士"));
    QFont body(QStringLiteral("宋体"));
    body.setPointSizeF(10.5);
    Picture2->SetFont(body);
    Picture2->SetForeColor(Qt::black);
    const QString tips[] = {QStringLiteral("Page Up / Page Down 翻章，Home 回到目录。"),
                            QStringLiteral("“打开文件夹”可一次打开一个文件夹里的所有 txt 电子书。"),
                            QStringLiteral("“皮肤”菜单可换皮肤，也可以自己做一套。")};
    Picture2->CurrentY = 600;
    for (const QString& tip : tips) {
        Picture2->CurrentX = 240;
        Picture2->Print(tip);
    }
    SetBackground(Frame1, Rgb(5, 85, 100));
    SetBackground(Frame2, kCoverBack);
}

void Form3::CentrePanels()
{
    // Centred on the window's width (the window fills the screen).
    for (QWidget* panel : {static_cast<QWidget*>(Picture1), static_cast<QWidget*>(Picture2), Frame2})
        panel->move((width() - panel->width()) / 2, panel->y());
}

void Form3::resizeEvent(QResizeEvent*)
{
    CentrePanels();
}
