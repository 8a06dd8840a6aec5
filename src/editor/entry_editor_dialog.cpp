#include "editor/entry_editor_dialog.h"

#include "entries/entry_list.h"
#include "monitor/cell_texts.h"
#include "monitor/gbk_codec.h"
#include "monitor/stop_flag.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/window_placement.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>

namespace sornel {

namespace {

// The dialog's outer size; its client area is that less the window frame.
const QSize kOuterSize(420, 390);
const QSize kClientSize(414, 361);

// Where the controls that differ between the two forms stand.
struct FormGeometry {
    QRect period;
    QRect minutesLabel;
    QRect soundYes;
    QRect soundNo;
    QRect relationAll;
    QRect relationAny;
    QRect relationSameTable;
};

const FormGeometry kAddGeometry = {
    {9, 16, 65, 22},  {80, 21, 24, 12},   {8, 19, 149, 19},  {163, 20, 105, 19},
    {8, 18, 145, 20}, {156, 18, 153, 20}, {317, 18, 57, 20},
};
const FormGeometry kModifyGeometry = {
    {10, 15, 65, 22}, {81, 18, 23, 15},   {10, 21, 153, 13}, {165, 21, 153, 13},
    {8, 17, 149, 22}, {156, 17, 153, 22}, {316, 17, 59, 22},
};

QGroupBox* groupBox(QWidget* parent, const char* name, const QString& title, QRect geometry)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    return box;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, QRect geometry)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    return edit;
}

QRadioButton* option(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

QPushButton* pushButton(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    // Enter must not save: no button is a default button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

std::string gbkOf(const QLineEdit& edit)
{
    return GbkCodec::fromUtf16(edit.text().toStdU16String());
}

QString shown(const std::string& gbk)
{
    return QString::fromStdU16String(GbkCodec::toUtf16(gbk));
}

} // namespace

EntryEditorDialog::EntryEditorDialog(Form form, EntryList& list, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      form_(form), list_(list)
{
    setObjectName(form == Form::Add ? "addForm" : "modifyForm");
    setWindowTitle(QStringLiteral("监控设置"));
    setFixedSize(kClientSize);
    // Modal over the window it belongs to: that window takes no input while the form is open,
    // but a hit message, which belongs to a worker, can still be closed.
    setWindowModality(parent != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    setStyleSheet(classicGroupBoxStyle());
    const FormGeometry& at = form == Form::Add ? kAddGeometry : kModifyGeometry;

    QGroupBox* outer =
        groupBox(this, "outerBox", QStringLiteral("添加或修改监控设置"), {8, 6, 400, 346});

    QGroupBox* addressBox =
        groupBox(outer, "addressBox", QStringLiteral("监控网址"), {7, 16, 385, 48});
    address_ = lineEdit(addressBox, "addressEdit", {7, 15, 368, 24});

    QGroupBox* keywordsBox =
        groupBox(outer, "keywordsBox", QStringLiteral("关键字词[用“|”分开]"), {8, 71, 385, 48});
    keywords_ = lineEdit(keywordsBox, "keywordsEdit", {7, 15, 368, 24});

    // Each group box holds its own option group.
    QGroupBox* relationBox =
        groupBox(outer, "relationBox", QStringLiteral("关键字关系"), {7, 126, 385, 48});
    relationAll_ =
        option(relationBox, "relationAll", QStringLiteral("与[关键字都同时出现]"), at.relationAll);
    relationAny_ = option(relationBox, "relationAny", QStringLiteral("或[出现任何一个关键字]"),
                          at.relationAny);
    relationSameTable_ =
        option(relationBox, "relationSameTable", QStringLiteral("同一行"), at.relationSameTable);
    relationAll_->setChecked(true);

    QGroupBox* soundBox =
        groupBox(outer, "soundBox", QStringLiteral("声音报警"), {7, 183, 385, 48});
    soundYes_ = option(soundBox, "soundYes", QStringLiteral("是"), at.soundYes);
    soundNo_ = option(soundBox, "soundNo", QStringLiteral("否"), at.soundNo);
    soundYes_->setChecked(true);

    QGroupBox* periodBox =
        groupBox(outer, "periodBox", QStringLiteral("刷新频率"), {8, 240, 385, 48});
    period_ = lineEdit(periodBox, "periodEdit", at.period);
    if (form == Form::Add) {
        period_->setText(QStringLiteral("3"));
    }
    auto* minutes = new QLabel(QStringLiteral("分钟"), periodBox);
    minutes->setObjectName("minutesLabel");
    minutes->setGeometry(at.minutesLabel);

    QPushButton* saveButton =
        pushButton(outer, "saveButton", QStringLiteral("保存"), {182, 299, 88, 32});
    QPushButton* cancelButton =
        pushButton(outer, "cancelButton", QStringLiteral("取消"), {304, 299, 88, 32});
    connect(saveButton, &QPushButton::clicked, this, &EntryEditorDialog::save);
    connect(cancelButton, &QPushButton::clicked, this, &EntryEditorDialog::cancel);

    centreOnScreen(*this, kOuterSize);
}

void EntryEditorDialog::loadSelectedRow()
{
    address_->setText(shown(list_.cellText(list_.selectedRow(), column(EntryColumn::Address))));
    keywords_->setText(shown(list_.cellText(list_.selectedRow(), column(EntryColumn::Keywords))));
    period_->setText(shown(list_.cellText(list_.selectedRow(), column(EntryColumn::Period))));
    // The row's own relation and sound choice, so that saving unchanged keeps them.
    const std::string relation = list_.cellText(list_.selectedRow(), column(EntryColumn::Relation));
    if (relation == cell::kRelationAny) {
        relationAny_->setChecked(true);
    } else if (relation == cell::kRelationSameTable) {
        relationSameTable_->setChecked(true);
    }
    if (list_.cellText(list_.selectedRow(), column(EntryColumn::Sound)) == cell::kNo) {
        soundNo_->setChecked(true);
    }
}

void EntryEditorDialog::save()
{
    if (address_->text().isEmpty() || keywords_->text().isEmpty() || period_->text().isEmpty()) {
        showMessage(this, MessageIcon::Warning, QStringLiteral("信息："),
                    QStringLiteral("信息填写有误，请检查！"));
        return;
    }
    const std::string address = gbkOf(*address_);
    const std::string keywords = gbkOf(*keywords_);
    const std::string period = gbkOf(*period_);
    const std::string_view sound = soundYes_->isChecked() ? cell::kYes : cell::kNo;
    std::string_view relation;
    if (relationAll_->isChecked()) {
        relation = cell::kRelationAll;
    }
    if (relationAny_->isChecked()) {
        relation = cell::kRelationAny;
    }
    if (relationSameTable_->isChecked()) {
        relation = cell::kRelationSameTable;
    }

    if (form_ == Form::Add) {
        const int row = list_.appendRow();
        list_.setCellText(row, column(EntryColumn::Number), std::to_string(row + 1));
        list_.setCellText(row, column(EntryColumn::Status), cell::kStopped);
        list_.setCellText(row, column(EntryColumn::Address), address);
        list_.setCellText(row, column(EntryColumn::Keywords), keywords);
        list_.setCellText(row, column(EntryColumn::Sound), sound);
        list_.setCellText(row, column(EntryColumn::Period), period);
        list_.setCellText(row, column(EntryColumn::Relation), relation);
        list_.setCellText(row, column(EntryColumn::Found), cell::kNo);
    } else {
        list_.setCellText(list_.selectedRow(), column(EntryColumn::Address), address);
        list_.setCellText(list_.selectedRow(), column(EntryColumn::Keywords), keywords);
        list_.setCellText(list_.selectedRow(), column(EntryColumn::Sound), sound);
        list_.setCellText(list_.selectedRow(), column(EntryColumn::Period), period);
        list_.setCellText(list_.selectedRow(), column(EntryColumn::Relation), relation);
        list_.setCellText(list_.selectedRow(), column(EntryColumn::Found), cell::kNo);
    }
    accept();
}

void EntryEditorDialog::cancel()
{
    reject();
}

void addEntry(EntryList& list)
{
    EntryEditorDialog form(EntryEditorDialog::Form::Add, list, list.window());
    form.exec();
}

void modifyEntry(EntryList& list)
{
    StopFlag::set(1);
    const bool listEmpty = list.cellText(0, column(EntryColumn::Number)).empty();
    if (list.selectedRow() != -1 && !listEmpty) {
        EntryEditorDialog form(EntryEditorDialog::Form::Modify, list, list.window());
        form.loadSelectedRow();
        form.exec();
    } else if (listEmpty) {
        showMessage(list.window(), MessageIcon::Warning, QStringLiteral("提示"),
                    QStringLiteral("无可修改的项目，请先添加监控项目！"));
    } else {
        showMessage(list.window(), MessageIcon::Warning, QStringLiteral("提示"),
                    QStringLiteral("请先选中要修改的行！"));
    }
}

} // namespace sornel
