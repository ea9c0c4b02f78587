// The transmitter screen's design: every control of the menus, the Configuration
// page and the calibration page, by its name, kind, geometry, design state and
// English caption. TForm2 builds it once and attaches its behaviour to it.
#pragma once

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTabWidget>
#include <QTimer>

#include "ui/exit_edit.h"
#include "ui/radio_group.h"
#include "ui/scroll_bar.h"
#include "ui/up_down.h"

namespace kelvane {

// The status label's and the value fields' font families, first found first: Arial
// and its metric twins (Tahoma where none of them is, as under wine).
inline const QStringList kDesignFamilies{"Arial", "Liberation Sans", "Nimbus Sans", "Helvetica",
                                         "Tahoma"};
// The screen's own font: Windows' "MS Sans Serif" where the system draws it at any
// size, else its TrueType successor "Microsoft Sans Serif"; elsewhere the families
// above. On Windows 10 and 11 "MS Sans Serif" is a bitmap font (sserife.fon) that
// comes out blocky or clipped at 125 %, 150 % and 200 % scaling.
QStringList formFamilies();

struct TForm2Design {
    // Builds every control on `form`, its menu bar and central page control.
    void build(QMainWindow& form);

    // Menus.
    QMenu* File1 = nullptr;
    QAction* OpenConfiguration1 = nullptr;
    QAction* SaveConfiguration1 = nullptr;
    QAction* CompareWithDevice1 = nullptr;
    QAction* ExportReport1 = nullptr;
    QAction* TrimWithMeter1 = nullptr;
    QAction* Manual1 = nullptr;  // opens the manual, as F1 does
    QAction* Exit1 = nullptr;
    QMenu* Language = nullptr;
    QAction* English = nullptr;
    QAction* Traditional = nullptr;
    QAction* Simplified = nullptr;
    QMenu* View1 = nullptr;
    QAction* MeasuringValueTrend1 = nullptr;
    QMenu* Scan = nullptr;
    QAction* Start = nullptr;
    QAction* Help = nullptr;

    QTabWidget* PageCont = nullptr;
    QWidget* Configuration = nullptr;
    QWidget* TabSheet1 = nullptr;

    // Configuration page.
    QPushButton* BtnP1 = nullptr;
    QPushButton* BtnP2 = nullptr;
    RadioGroup* Item1 = nullptr;
    RadioGroup* Item3 = nullptr;
    RadioGroup* Item4 = nullptr;
    RadioGroup* Item5 = nullptr;
    QGroupBox* GroupBox9 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label20 = nullptr;
    QGroupBox* Item2 = nullptr;
    ExitEdit* Edi3 = nullptr;
    ExitEdit* Edi4 = nullptr;
    QLineEdit* Edi1 = nullptr;
    QLineEdit* Edi2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Lab21 = nullptr;
    QLabel* Lab22 = nullptr;
    QLabel* Lab23 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QGroupBox* Item6 = nullptr;
    ExitEdit* Edi61 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label6 = nullptr;
    QGroupBox* Item7 = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* PV1_Edit = nullptr;
    QPushButton* Btn71 = nullptr;
    QPushButton* Btn72 = nullptr;
    QGroupBox* GroupBox7 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    ScrollBar* ScrollBar3 = nullptr;
    ScrollBar* ScrollBar4 = nullptr;
    UpDown* UpDown3 = nullptr;
    UpDown* UpDown4 = nullptr;
    QGroupBox* Item8 = nullptr;
    QLabel* Lab81 = nullptr;
    QLabel* Lab82 = nullptr;
    QLabel* Device = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Serial_Y = nullptr;
    QLabel* Label18 = nullptr;
    QLabel* Lab83 = nullptr;

    // Calibration page: RTD.
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Lab_11 = nullptr;
    QLabel* Lab_12 = nullptr;
    ExitEdit* RTD_Lo = nullptr;
    ExitEdit* RTD_Hi = nullptr;
    QLabel* Label46 = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* Btn11 = nullptr;
    QPushButton* Btn12 = nullptr;
    QPushButton* Btn13 = nullptr;
    QPushButton* Btn14 = nullptr;
    QLabel* Lab_13 = nullptr;
    QLabel* Lab_14 = nullptr;
    QLabel* Lab_15 = nullptr;
    QLabel* Lab_16 = nullptr;
    QLineEdit* rtd_lo_a0 = nullptr;
    QLineEdit* rtd_lo_a1 = nullptr;
    QLineEdit* rtd_hi_a0 = nullptr;
    QLineEdit* rtd_hi_a1 = nullptr;
    // Thermocouple.
    QGroupBox* GroupBox3 = nullptr;
    QLabel* Lab_31 = nullptr;
    QLabel* Lab_32 = nullptr;
    ExitEdit* TC_Lo = nullptr;
    ExitEdit* TC_Hi = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label12 = nullptr;
    QPushButton* Btn31 = nullptr;
    QPushButton* Btn32 = nullptr;
    QPushButton* Btn33 = nullptr;
    QPushButton* Btn34 = nullptr;
    QLabel* Lab_33 = nullptr;
    QLabel* Lab_34 = nullptr;
    QLabel* Lab_35 = nullptr;
    QLabel* Lab_36 = nullptr;
    QLineEdit* tc_lo_a0 = nullptr;
    QLineEdit* tc_lo_a2 = nullptr;
    QLineEdit* tc_hi_a0 = nullptr;
    QLineEdit* tc_hi_a2 = nullptr;
    // Voltage.
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Lab_21 = nullptr;
    QLabel* Lab_22 = nullptr;
    ExitEdit* VLo1 = nullptr;
    ExitEdit* VHi1 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    QPushButton* Btn21 = nullptr;
    QPushButton* Btn22 = nullptr;
    QPushButton* Btn23 = nullptr;
    QPushButton* Btn24 = nullptr;
    QLabel* Lab_23 = nullptr;
    QLabel* Lab_24 = nullptr;
    QLineEdit* v_lo_a0 = nullptr;
    QLineEdit* v_hi_a0 = nullptr;
    // Current.
    QGroupBox* GroupBox10 = nullptr;
    QLabel* Label27 = nullptr;
    QLabel* Label28 = nullptr;
    ExitEdit* mALo1 = nullptr;
    ExitEdit* mAHi1 = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label17 = nullptr;
    QPushButton* Button9 = nullptr;
    QPushButton* Button10 = nullptr;
    QPushButton* Button11 = nullptr;
    QPushButton* Button12 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label15 = nullptr;
    QLineEdit* mA_lo_a0 = nullptr;
    QLineEdit* mA_hi_a0 = nullptr;
    // 0 mV zero.
    QGroupBox* GroupBox8 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QLineEdit* Edit5 = nullptr;
    // Output trim twin.
    QGroupBox* GroupBox4 = nullptr;
    QRadioButton* Rad1 = nullptr;
    QRadioButton* Rad2 = nullptr;
    QRadioButton* Rad3 = nullptr;
    QLineEdit* Edi41 = nullptr;
    QLineEdit* Edi42 = nullptr;
    ScrollBar* ScrollBar1 = nullptr;
    ScrollBar* ScrollBar2 = nullptr;
    UpDown* UpDown1 = nullptr;
    UpDown* UpDown2 = nullptr;
    // Measured value twin.
    QGroupBox* GroupBox5 = nullptr;
    QPushButton* Btn51 = nullptr;
    QPushButton* Btn52 = nullptr;
    QLabel* Label21 = nullptr;
    QLineEdit* PV1_Edit2 = nullptr;
    // Serial number loader (hidden).
    QGroupBox* GroupBox6 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;

    // Timers, all disabled in the design.
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;
    QTimer* Timer4 = nullptr;
    QTimer* Timer5 = nullptr;
    QTimer* Timer6 = nullptr;
    QTimer* CompareTimer = nullptr;
};

}  // namespace kelvane
