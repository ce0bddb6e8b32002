#include "ui/dialogs/reading_settings_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

ReadingSettingsDialog::ReadingSettingsDialog(const ReadingSettings& current, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("readingSettingsDialog"));
    setWindowTitle(QStringLiteral("设置"));
    const PaneTypography& type = current.typography;

    skinFontBox = new QCheckBox(QStringLiteral("用皮肤的字体"), this);
    skinFontBox->setObjectName(QStringLiteral("skinFontBox"));
    skinFontBox->setChecked(current.fontFamily.isEmpty());
    fontChoice = new QFontComboBox(this);
    fontChoice->setObjectName(QStringLiteral("fontChoice"));
    fontChoice->setWritingSystem(QFontDatabase::SimplifiedChinese);
    if (!current.fontFamily.isEmpty())
        fontChoice->setCurrentFont(QFont(current.fontFamily));
    fontChoice->setEnabled(!current.fontFamily.isEmpty());

    lineSpacingBox = new QSpinBox(this);
    lineSpacingBox->setObjectName(QStringLiteral("lineSpacingBox"));
    lineSpacingBox->setRange(80, 300);
    lineSpacingBox->setSingleStep(10);
    lineSpacingBox->setSuffix(QStringLiteral(" %"));
    lineSpacingBox->setValue(type.lineSpacingPercent);
    paragraphSpacingBox = new QDoubleSpinBox(this);
    paragraphSpacingBox->setObjectName(QStringLiteral("paragraphSpacingBox"));
    paragraphSpacingBox->setRange(0, 3);
    paragraphSpacingBox->setSingleStep(0.1);
    paragraphSpacingBox->setDecimals(1);
    paragraphSpacingBox->setSuffix(QStringLiteral(" 字高"));
    paragraphSpacingBox->setValue(type.paragraphSpacing);
    marginBox = new QSpinBox(this);
    marginBox->setObjectName(QStringLiteral("marginBox"));
    marginBox->setRange(4, 400);
    marginBox->setSingleStep(8);
    marginBox->setSuffix(QStringLiteral(" 像素"));
    marginBox->setValue(static_cast<int>(type.sideMargin));
    lineCharactersBox = new QSpinBox(this);
    lineCharactersBox->setObjectName(QStringLiteral("lineCharactersBox"));
    lineCharactersBox->setRange(0, 200);
    lineCharactersBox->setSpecialValueText(QStringLiteral("不限"));
    lineCharactersBox->setSuffix(QStringLiteral(" 字"));
    lineCharactersBox->setValue(type.lineCharacters);
    indentBox = new QSpinBox(this);
    indentBox->setObjectName(QStringLiteral("indentBox"));
    indentBox->setRange(-1, 8);
    indentBox->setSpecialValueText(QStringLiteral("照原文"));
    indentBox->setSuffix(QStringLiteral(" 字"));
    indentBox->setValue(type.firstLineIndent < 0 ? -1 : static_cast<int>(type.firstLineIndent));
    indentBox->setToolTip(QStringLiteral("每段开头空几个字，不论原文用了多少空格"));
    justifiedBox = new QCheckBox(QStringLiteral("两端对齐"), this);
    justifiedBox->setObjectName(QStringLiteral("justifiedBox"));
    justifiedBox->setChecked(type.justified);

    continueBox = new QCheckBox(QStringLiteral("启动时接着读上次的书"), this);
    continueBox->setObjectName(QStringLiteral("continueBox"));
    continueBox->setChecked(current.continueReading);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("字体"), skinFontBox);
    form->addRow(QString(), fontChoice);
    form->addRow(QStringLiteral("行距"), lineSpacingBox);
    form->addRow(QStringLiteral("段距"), paragraphSpacingBox);
    form->addRow(QStringLiteral("首行缩进"), indentBox);
    form->addRow(QStringLiteral("左右边距"), marginBox);
    form->addRow(QStringLiteral("每行最多"), lineCharactersBox);
    form->addRow(QString(), justifiedBox);
    form->addRow(QStringLiteral("启动"), continueBox);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* readingPage = new QWidget(this);
    readingPage->setLayout(form);
    pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("settingsPages"));
    pages->addTab(readingPage, QStringLiteral("阅读"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttons);

    const auto changed = [this] { emit Changed(Settings()); };
    connect(skinFontBox, &QCheckBox::toggled, this, [this, changed](bool skinFont) {
        fontChoice->setEnabled(!skinFont);
        changed();
    });
    connect(fontChoice, &QFontComboBox::currentFontChanged, this, changed);
    connect(lineSpacingBox, &QSpinBox::valueChanged, this, changed);
    connect(paragraphSpacingBox, &QDoubleSpinBox::valueChanged, this, changed);
    connect(marginBox, &QSpinBox::valueChanged, this, changed);
    connect(lineCharactersBox, &QSpinBox::valueChanged, this, changed);
    connect(indentBox, &QSpinBox::valueChanged, this, changed);
    connect(justifiedBox, &QCheckBox::toggled, this, changed);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ReadingSettings ReadingSettingsDialog::Settings() const
{
    ReadingSettings chosen;
    chosen.fontFamily = skinFontBox->isChecked() ? QString() : fontChoice->currentFont().family();
    chosen.typography.lineSpacingPercent = lineSpacingBox->value();
    chosen.typography.paragraphSpacing = paragraphSpacingBox->value();
    chosen.typography.sideMargin = marginBox->value();
    chosen.typography.lineCharacters = lineCharactersBox->value();
    chosen.typography.justified = justifiedBox->isChecked();
    chosen.typography.firstLineIndent = indentBox->value();
    chosen.continueReading = continueBox->isChecked();
    return chosen;
}

void ReadingSettingsDialog::AddPage(QWidget* page, const QString& title)
{
    pages->addTab(page, title);
}

void ReadingSettingsDialog::ShowPage(QWidget* page)
{
    pages->setCurrentWidget(page);
}
