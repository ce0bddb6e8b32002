#include "ui/skins/skin_manager_dialog.h"

#include "core/reading/reader.h"
#include "core/skins/skin_values.h"
#include "ui/platform/colour.h"
#include "ui/platform/prompter.h"
#include "ui/platform/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFontInfo>
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
// The picture picker starts on "JPG文件", the kind the shipped pictures are.
constexpr int kJpegFilter = 1;
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

}  // namespace

SkinManagerDialog::SkinManagerDialog(Reader& reader, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Dialog)
    , reader_(reader)
    , prompter_(prompter)
{
    setObjectName(QStringLiteral("skinManagerDialog"));
    setWindowTitle(QStringLiteral("皮肤管理器"));
    setFont(QFont(QStringLiteral("宋体"), 9));
    setFixedSize(TwipsToPixels(6090), TwipsToPixels(5370));

    skinListLabel =
        MakeLabel(this, QStringLiteral("skinListLabel"), QStringLiteral("所有皮肤"), TwipsRect(0, 120, 840, 240));
    versionLabel = MakeLabel(this, QStringLiteral("versionLabel"), QString::fromUtf16(kSkinVersionLine),
                             TwipsRect(840, 120, 1800, 240));

    skinList = new QListWidget(this);
    skinList->setObjectName(QStringLiteral("skinList"));
    skinList->setGeometry(TwipsRect(0, 360, 4575, 780));

    deleteButton = new QPushButton(QStringLiteral("删除格式"), this);
    deleteButton->setObjectName(QStringLiteral("deleteButton"));
    deleteButton->setGeometry(TwipsRect(4800, 360, 1095, 375));
    saveButton = new QPushButton(QStringLiteral("保存格式"), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    saveButton->setGeometry(TwipsRect(4800, 840, 1095, 375));

    skinNameLabel =
        MakeLabel(this, QStringLiteral("skinNameLabel"), QStringLiteral("皮肤名称"), TwipsRect(0, 1320, 840, 285));
    skinName = new QLineEdit(this);
    skinName->setObjectName(QStringLiteral("skinName"));
    skinName->setGeometry(TwipsRect(840, 1320, 3735, 285));

    newSkinBox = new QCheckBox(QStringLiteral("创建新皮肤"), this);
    newSkinBox->setObjectName(QStringLiteral("newSkinBox"));
    newSkinBox->setGeometry(TwipsRect(120, 1800, 1695, 255));

    for (int i = 0; i < kSkinFieldCount; ++i) {
        const SkinField& field = kSkinFields[i];
        const FieldPlace& place = kFieldPlaces[i];
        fieldLabels[i] =
            MakeLabel(this, QStringLiteral("fieldLabels"), field.caption.toString(),
                      TwipsRect(place.captionLeft, place.top, place.left - place.captionLeft, kFieldHeight));
        fieldLabels[i]->setProperty("index", i);

        QLineEdit* text = new QLineEdit(this);
        text->setObjectName(QStringLiteral("fieldEdits"));
        text->setProperty("index", i);
        text->setProperty("key", field.key.toString());
        text->setGeometry(TwipsRect(place.left, place.top, place.width, kFieldHeight));
        text->setFrame(false);
        // Every button opens a picker; a context menu would come up over it.
        text->setContextMenuPolicy(Qt::NoContextMenu);
        text->installEventFilter(this);
        connect(text, &QLineEdit::textChanged, this, [this, i] { PreviewFieldColour(i); });
        if (field.kind == SkinFieldKind::FontName) {
            // A font the machine lacks (隶书, 楷体 …) is drawn in another:
            // the name is shown in the face really used, and says which.
            connect(text, &QLineEdit::textChanged, text, [text](const QString& name) {
                QFont shown = text->font();
                shown.setFamily(name.isEmpty() ? QApplication::font().family() : name);
                text->setFont(shown);
                text->setToolTip(name.isEmpty() ? QString()
                                                : QStringLiteral("实际使用的字体：") + QFontInfo(shown).family());
            });
        }
        fieldEdits[i] = text;
    }
    fieldPalette_ = fieldEdits[0]->palette();

    connect(skinList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            ShowSkinFields();
    });
    // Clicking the skin already chosen shows its saved settings again.
    connect(skinList, &QListWidget::itemClicked, this, &SkinManagerDialog::ShowSkinFields);
    connect(newSkinBox, &QCheckBox::toggled, this, &SkinManagerDialog::OnNewSkinBoxToggled);
    connect(saveButton, &QPushButton::clicked, this, &SkinManagerDialog::SaveSkin);
    // "删除格式" has no action.
}

void SkinManagerDialog::Reload()
{
    // The dialog as made: box unticked, name box open and empty.
    newSkinBox->setChecked(false);
    skinName->setEnabled(true);
    skinName->clear();

    reader_.ReloadSkins();
    const ReaderState& state = reader_.State();

    // Emptied fields preview as black, whether or not their text changed.
    for (int i = 0; i < kSkinFieldCount; ++i) {
        fieldEdits[i]->clear();
        PreviewFieldColour(i);
    }
    skinName->clear();
    skinList->clear();
    for (int i = 1; i <= state.Skins.Count(); ++i) {
        // A slot whose file has gone holds no skin.
        if (!state.Skins[i].Name.isEmpty())
            skinList->addItem(state.Skins[i].Name);
    }
    skinList->setCurrentRow(0);
}

void SkinManagerDialog::ShowSkinFields()
{
    newSkinBox->setChecked(true);
    skinName->clear();
    const QListWidgetItem* item = skinList->currentItem();
    skinName->setText(item ? item->text() : QString());

    const ReaderState& state = reader_.State();
    int k = 0;
    for (int i = 1; i <= state.Skins.Count(); ++i) {
        if (state.Skins[i].Name == skinName->text()) {
            k = i;
            break;
        }
    }
    for (int i = 0; i < kSkinFieldCount; ++i)
        fieldEdits[i]->setText(GetSkinValue(state.Skins, state.CurrentSkin, kSkinFields[i].key.toString(), k));
}

void SkinManagerDialog::OnNewSkinBoxToggled()
{
    // Ticked: the name is locked to the chosen skin and saving overwrites
    // it. Unticked: the box is open for the name of a new skin.
    if (newSkinBox->isChecked()) {
        skinName->setEnabled(false);
    } else {
        skinName->setEnabled(true);
        skinName->clear();
    }
}

void SkinManagerDialog::PreviewFieldColour(int index)
{
    if (index < 0 || index >= kSkinFieldCount || kSkinFields[index].kind != SkinFieldKind::Colour)
        return;
    QPalette palette = fieldPalette_;
    if (const std::optional<std::int32_t> value = PreviewColourValue(fieldEdits[index]->text())) {
        const QColor colour = ColourFromValue(*value);
        palette.setColor(QPalette::Base, colour);
        // The number stays readable on any colour.
        const bool dark = 299 * colour.red() + 587 * colour.green() + 114 * colour.blue() < 128000;
        palette.setColor(QPalette::Text, dark ? Qt::white : Qt::black);
    }
    fieldEdits[index]->setPalette(palette);
}

void SkinManagerDialog::PickFieldValue(int index)
{
    if (index < 0 || index >= kSkinFieldCount)
        return;
    Prompter& prompts = prompter_;
    const SkinField& field = kSkinFields[index];
    switch (field.kind) {
    case SkinFieldKind::Colour:
        if (const std::optional<QColor> colour = prompts.PickColour(this))
            fieldEdits[index]->setText(QString::number(ValueFromColour(*colour)));
        break;
    case SkinFieldKind::Picture:
        if (const std::optional<QString> path =
                prompts.OpenFile(QString::fromUtf16(kSkinPictureFilter), kJpegFilter, this))
            fieldEdits[index]->setText(RelativePicturePath(*path, reader_.Folders().data));
        break;
    case SkinFieldKind::FontName:
    case SkinFieldKind::FontSize: {
        const std::optional<QFont> font = prompts.PickFont(this);
        if (!font)
            break;
        const bool isName = field.kind == SkinFieldKind::FontName;
        const int nameField = isName ? index : field.pair;
        const int sizeField = isName ? field.pair : index;
        fieldEdits[nameField]->setText(font->family());
        const double points = font->pointSizeF();
        fieldEdits[sizeField]->setText(points > 0 ? FormatPointSize(static_cast<float>(points)) : QString());
        break;
    }
    }
}

void SkinManagerDialog::SaveSkin()
{
    const QString name = skinName->text();
    if (name.isEmpty())
        return;
    SkinFieldTexts texts;
    for (int i = 0; i < kSkinFieldCount; ++i)
        texts[i] = fieldEdits[i]->text();
    // A name that cannot be a file name or a read-only file ends the save
    // here, before anything else changes. A value the file cannot hold or a
    // failed write ends it too, but the user is told, over this dialog,
    // which stays open with the fields as they were.
    QString failure;
    std::optional<SkinEntry> saved = WriteSkinFile(reader_.Folders(), name, texts, &failure);
    if (!saved) {
        if (!failure.isEmpty())
            prompter_.Message(failure, QStringLiteral("提示"), Prompter::Icon::Exclamation, Prompter::Buttons::Ok,
                              this);
        return;
    }

    bool listed = false;
    for (int row = 0; row < skinList->count() && !listed; ++row)
        listed = skinList->item(row)->text() == name;
    if (!listed)
        skinList->addItem(name);

    reader_.StoreSkin(std::move(*saved));
}

bool SkinManagerDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const auto field = std::find(fieldEdits.begin(), fieldEdits.end(), watched);
        if (field != fieldEdits.end()) {
            // The press is the picker's; the field only takes the focus.
            (*field)->setFocus(Qt::MouseFocusReason);
            PickFieldValue(static_cast<int>(field - fieldEdits.begin()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
