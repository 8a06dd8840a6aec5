#pragma once

#include <QWidget>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;

namespace sornel {

class ElapsedClock;
class EntryList;
class Monitoring;
class TipsTicker;
class TrayController;

// The program's one window: six command buttons, the entry list, the elapsed clock and the
// tips line. Closing it (close button, Alt+F4, Esc) ends the program.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    // The outer size the window is centred with; Qt sizes the client area, which is this less
    // the window frame.
    static constexpr QSize kOuterSize{655, 332};
    static constexpr QSize kClientSize{649, 303};

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows the window centred on its screen.
    void showCentred();

    EntryList& entryList() { return *list_; }
    ElapsedClock& clock() { return *clock_; }
    TipsTicker& tips() { return *tips_; }
    TrayController& tray() { return *tray_; }
    Monitoring& monitoring() { return *monitoring_; }
    QLineEdit& clockDisplay() { return *clockDisplay_; }
    QLabel& tipsLine() { return *tipsLine_; }

    // The program's icon, 16 to 96 pixels.
    static QIcon programIcon();

protected:
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    EntryList* list_ = nullptr;
    QLineEdit* clockDisplay_ = nullptr;
    QLabel* tipsLine_ = nullptr;
    ElapsedClock* clock_ = nullptr;
    TipsTicker* tips_ = nullptr;
    TrayController* tray_ = nullptr;
    std::unique_ptr<Monitoring> monitoring_;
};

// Ends the process with status 0 once the window has closed. Workers may still be winding down
// (in a download, a sleep, or with a hit message open); they are not waited for, and nothing
// they could still touch is torn down under them.
[[noreturn]] void endProgram(MainWindow& window);

} // namespace sornel
