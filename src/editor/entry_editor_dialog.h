#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace sornel {

class EntryList;

// The "监控设置" dialog in its two forms: the add form appends a row to the list, the modify
// form rewrites the settings of the selected row.
class EntryEditorDialog : public QDialog {
    Q_OBJECT

public:
    enum class Form { Add, Modify };

    EntryEditorDialog(Form form, EntryList& list, QWidget* parent = nullptr);

    // Modify form: fills the fields and options from the selected row.
    void loadSelectedRow();
    // "保存": checks the three fields, writes the row and closes; on a missing field only says so.
    void save();
    // "取消": closes without writing.
    void cancel();

    QLineEdit& addressEdit() { return *address_; }
    QLineEdit& keywordsEdit() { return *keywords_; }
    QLineEdit& periodEdit() { return *period_; }

private:
    Form form_;
    EntryList& list_;
    QLineEdit* address_ = nullptr;
    QLineEdit* keywords_ = nullptr;
    QLineEdit* period_ = nullptr;
    QRadioButton* relationAll_ = nullptr;
    QRadioButton* relationAny_ = nullptr;
    QRadioButton* relationSameTable_ = nullptr;
    QRadioButton* soundYes_ = nullptr;
    QRadioButton* soundNo_ = nullptr;
};

// The command behind "增加": opens the add form and returns when it has closed.
void addEntry(EntryList& list);

// The command behind "修改": asks every running worker to end (StopFlag), then opens the modify
// form for the selected row, or says why it cannot.
void modifyEntry(EntryList& list);

} // namespace sornel
