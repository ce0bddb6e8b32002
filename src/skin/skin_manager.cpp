#include "skin/skin_manager.h"

#include "platform/colour.h"
#include "platform/prompter.h"
#include "platform/twips.h"
#include "skin/apply_skin.h"
#include "skin/skin_values.h"
#include "ui/main/form4.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace {

// Where a field and its caption sit, in twips; every field is 270 high.
struct FieldPlace {
    int left;
    int top;
    int width;
    int captionLeft;
};

constexpr int kFieldHeight = 270;
constexpr std::array<FieldPlace, kSkinFieldCount> kFieldPlaces{{
    {840, 2160, 2775, 0},
    {4560, 2160, 1335, 3720},
    {1200, 2520, 1455, 120},
    {4560, 2520, 1335, 3480},
    {1200, 2880, 1455, 240},
    {4560, 2880, 1335, 3600},
    {1200, 3240, 1455, 120},
    {1200, 3600, 1455, 0},
    {4560, 3240, 1335, 3480},
    {4560, 3600, 1335, 3360},
    {1200, 3960, 1455, 0},
    {1200, 4320, 1455, 360},
    {4560, 4200, 1335, 3720},
    {1200, 4680, 1455, 360},
    {4560, 4560, 1335, 3480},
    {1200, 5040, 2535, 360},
}};

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& place)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

// Gives the skin menu an entry for every skin of the table that has none
// yet, so that menu entry i keeps standing for table index i.
void ExtendSkinMenu(Form4& window)
{
    const SkinTable& skins = window.State().Skins;
    for (int i = window.skin->Count(); i <= skins.Count(); ++i) {
        if (!window.skin->Load(i, skins[i].Name))
            return;
    }
}

}  // namespace

SSkin::SSkin(Form4& main)
    : QWidget(&main, Qt::Dialog)
    , main_(main)
{
    setObjectName(QStringLiteral("SSkin"));
    setWindowTitle(QStringLiteral("皮肤管理器"));
    setFont(QFont(QStringLiteral("宋体"), 9));
    setFixedSize(TwipsToPixels(6090), TwipsToPixels(5370));

    Label1 = MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("所有皮肤"), TwipsRect(0, 120, 840, 240));
    Label2 = MakeLabel(this, QStringLiteral("Label2"), QString::fromUtf16(kSkinVersionLine), TwipsRect(840, 120, 1800, 240));

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(TwipsRect(0, 360, 4575, 780));

    Command2 = new QPushButton(QStringLiteral("删除格式"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(TwipsRect(4800, 360, 1095, 375));
    Command1 = new QPushButton(QStringLiteral("保存格式"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(TwipsRect(4800, 840, 1095, 375));

    Label3 = MakeLabel(this, QStringLiteral("Label3"), QStringLiteral("皮肤名称"), TwipsRect(0, 1320, 840, 285));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(TwipsRect(840, 1320, 3735, 285));

    Check1 = new QCheckBox(QStringLiteral("创建新皮肤"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(TwipsRect(120, 1800, 1695, 255));

    for (int i = 0; i < kSkinFieldCount; ++i) {
        const SkinField& field = kSkinFields[i];
        const FieldPlace& place = kFieldPlaces[i];
        Label4[i] = MakeLabel(this, QStringLiteral("Label4"), field.caption.toString(),
                              TwipsRect(place.captionLeft, place.top, place.left - place.captionLeft, kFieldHeight));
        Label4[i]->setProperty("index", i);

        QLineEdit* text = new QLineEdit(this);
        text->setObjectName(QStringLiteral("Text2"));
        text->setProperty("index", i);
        text->setProperty("key", field.key.toString());
        text->setGeometry(TwipsRect(place.left, place.top, place.width, kFieldHeight));
        text->setFrame(false);
        // Every button opens a picker; a context menu would come up over it.
        text->setContextMenuPolicy(Qt::NoContextMenu);
        text->installEventFilter(this);
        connect(text, &QLineEdit::textChanged, this, [this, i] { Text2_Change(i); });
        Text2[i] = text;
    }
    fieldPalette_ = Text2[0]->palette();

    connect(List1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            ShowSkinFields();
    });
    // Clicking the skin already chosen shows its saved settings again.
    connect(List1, &QListWidget::itemClicked, this, &SSkin::ShowSkinFields);
    connect(Check1, &QCheckBox::toggled, this, &SSkin::Check1_Click);
    connect(Command1, &QPushButton::clicked, this, &SSkin::SaveSkin);
    // Command2 ("删除格式") has no action.
}

void SSkin::Form_Load()
{
    // The dialog as made: box unticked, name box open and empty.
    Check1->setChecked(false);
    Text1->setEnabled(true);
    Text1->clear();

    ReaderState& state = main_.State();
    RebuildSkinTable(state.Skins, main_.ProgramFolder());
    ExtendSkinMenu(main_);

    // Emptied fields preview as black, whether or not their text changed.
    for (int i = 0; i < kSkinFieldCount; ++i) {
        Text2[i]->clear();
        Text2_Change(i);
    }
    Text1->clear();
    List1->clear();
    for (int i = 1; i <= state.Skins.Count(); ++i) {
        // A slot whose file has gone holds no skin.
        if (!state.Skins[i].Name.isEmpty())
            List1->addItem(state.Skins[i].Name);
    }
    List1->setCurrentRow(0);
}

void SSkin::ShowSkinFields()
{
    Check1->setChecked(true);
    Text1->clear();
    const QListWidgetItem* item = List1->currentItem();
    Text1->setText(item ? item->text() : QString());

    const ReaderState& state = main_.State();
    int k = 0;
    for (int i = 1; i <= state.Skins.Count(); ++i) {
        if (state.Skins[i].Name == Text1->text()) {
            k = i;
            break;
        }
    }
    for (int i = 0; i < kSkinFieldCount; ++i)
        Text2[i]->setText(GetSkinValue(state.Skins, state.CurrentSkin, kSkinFields[i].key.toString(), k));
}

void SSkin::Check1_Click()
{
    // Ticked: the name is locked to the chosen skin and saving overwrites
    // it. Unticked: the box is open for the name of a new skin.
    if (Check1->isChecked()) {
        Text1->setEnabled(false);
    } else {
        Text1->setEnabled(true);
        Text1->clear();
    }
}

void SSkin::Text2_Change(int index)
{
    if (index < 0 || index >= kSkinFieldCount || kSkinFields[index].kind != SkinFieldKind::Colour)
        return;
    QPalette palette = fieldPalette_;
    if (const std::optional<std::int32_t> value = PreviewColourValue(Text2[index]->text())) {
        const QColor colour = ColourFromValue(*value);
        palette.setColor(QPalette::Base, colour);
        // The number stays readable on any colour.
        const bool dark = 299 * colour.red() + 587 * colour.green() + 114 * colour.blue() < 128000;
        palette.setColor(QPalette::Text, dark ? Qt::white : Qt::black);
    }
    Text2[index]->setPalette(palette);
}

void SSkin::PickFieldValue(int index)
{
    if (index < 0 || index >= kSkinFieldCount)
        return;
    Prompter& prompts = main_.Prompts();
    const SkinField& field = kSkinFields[index];
    switch (field.kind) {
    case SkinFieldKind::Colour:
        if (const std::optional<QColor> colour = prompts.PickColour())
            Text2[index]->setText(QString::number(ValueFromColour(*colour)));
        break;
    case SkinFieldKind::Picture:
        if (const std::optional<QString> path = prompts.OpenFile(QString::fromUtf16(kSkinPictureFilter)))
            Text2[index]->setText(RelativePicturePath(*path, main_.ProgramFolder()));
        break;
    case SkinFieldKind::FontName:
    case SkinFieldKind::FontSize: {
        const std::optional<QFont> font = prompts.PickFont();
        if (!font)
            break;
        const bool isName = field.kind == SkinFieldKind::FontName;
        const int nameField = isName ? index : field.pair;
        const int sizeField = isName ? field.pair : index;
        Text2[nameField]->setText(font->family());
        const double points = font->pointSizeF();
        Text2[sizeField]->setText(points > 0 ? FormatPointSize(static_cast<float>(points)) : QString());
        break;
    }
    }
}

void SSkin::SaveSkin()
{
    const QString name = Text1->text();
    if (name.isEmpty())
        return;
    SkinFieldTexts texts;
    for (int i = 0; i < kSkinFieldCount; ++i)
        texts[i] = Text2[i]->text();
    // A name that cannot be a file name, a read-only file or a failed
    // write ends the save here, before anything else changes.
    std::optional<SkinEntry> saved = WriteSkinFile(main_.ProgramFolder(), name, texts);
    if (!saved)
        return;

    bool listed = false;
    for (int row = 0; row < List1->count() && !listed; ++row)
        listed = List1->item(row)->text() == name;
    if (!listed)
        List1->addItem(name);

    ReaderState& state = main_.State();
    const int k = StoreSavedSkin(state.Skins, std::move(*saved));
    ExtendSkinMenu(main_);
    if (k == state.CurrentSkin)
        ApplySkin(main_);
}

bool SSkin::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const auto field = std::find(Text2.begin(), Text2.end(), watched);
        if (field != Text2.end()) {
            // The press is the picker's; the field only takes the focus.
            (*field)->setFocus(Qt::MouseFocusReason);
            PickFieldValue(static_cast<int>(field - Text2.begin()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
