#include "transmitter/tform2_design.h"

#include <QFontDatabase>
#include <QMenuBar>

#include "device/register_map.h"
#include "ui/language_marks.h"
#include "ui/status_label.h"

namespace kelvane {

QStringList formFamilies() {
#ifdef Q_OS_WIN
    const QString bitmapEra = QStringLiteral("MS Sans Serif");
    const QStringList windows = QFontDatabase::isSmoothlyScalable(bitmapEra)
                                    ? QStringList{bitmapEra, QStringLiteral("Microsoft Sans Serif")}
                                    : QStringList{QStringLiteral("Microsoft Sans Serif")};
    return windows + kDesignFamilies;
#else
    return kDesignFamilies;
#endif
}

namespace {

// Names a control and places it, in page coordinates of the original design.
template <class Widget>
Widget* place(Widget* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(name);
    widget->setGeometry(x, y, w, h);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const char* text, int x, int y, int w, int h,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* control = place(new QLabel(QString::fromUtf8(text), parent), name, x, y, w, h);
    control->setAlignment(alignment);
    return control;
}

QPushButton* button(QWidget* parent, const char* name, const char* text, int x, int y, int w,
                    int h) {
    return place(new QPushButton(QString::fromUtf8(text), parent), name, x, y, w, h);
}

QGroupBox* group(QWidget* parent, const char* name, const char* title, int x, int y, int w, int h) {
    return place(new QGroupBox(QString::fromUtf8(title), parent), name, x, y, w, h);
}

// Read-only fields are drawn in the button face colour, as the design has them.
void makeReadOnly(QLineEdit* edit) {
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    edit->setPalette(palette);
}

template <class Edit = QLineEdit>
Edit* edit(QWidget* parent, const char* name, const char* text, int x, int y, int w, int h,
           bool readOnly = false) {
    auto* control = place(new Edit(QString::fromUtf8(text), parent), name, x, y, w, h);
    if (readOnly) {
        makeReadOnly(control);
    }
    return control;
}

QRadioButton* radio(QWidget* parent, const char* name, const char* text, int x, int y, int w,
                    int h) {
    return place(new QRadioButton(QString::fromUtf8(text), parent), name, x, y, w, h);
}

template <size_t N>
QStringList itemList(const std::array<const char*, N>& items) {
    QStringList list;
    for (const char* item : items) {
        list << QString::fromUtf8(item);
    }
    return list;
}

QStringList inputTypeItems() {
    QStringList list;
    for (const regmap::InputType& type : regmap::kInputTypes) {
        list << QString::fromUtf8(type.caption);
    }
    return list;
}

ScrollBar* trimBar(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* bar = place(new ScrollBar(Qt::Horizontal, parent), name, x, y, w, h);
    bar->setRange(0, 32767);
    bar->setSingleStep(16);
    bar->setPageStep(50);
    return bar;
}

QFont pixelFont(int pixels, bool bold) {
    QFont font;
    font.setFamilies(kDesignFamilies);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QTimer* timer(QObject* parent, const char* name, int interval) {
    auto* control = new QTimer(parent);
    control->setObjectName(name);
    control->setInterval(interval);
    // Qt's default coarse timers may fire up to 5 % late: a 500 ms poll would drift to
    // 525 ms. The screen's sequences wait exactly their intervals.
    control->setTimerType(Qt::PreciseTimer);
    return control;
}

}  // namespace

void TForm2Design::build(QMainWindow& form) {
    form.setObjectName("TForm2");
    // The design font is a plain sans serif with 11-pixel characters; on Linux Arial's
    // metric twins keep the captions within the design's geometry.
    QFont formFont = form.font();
    formFont.setFamilies(formFamilies());
    formFont.setPixelSize(11);
    form.setFont(formFont);

    // Menus.
    QMenuBar* bar = form.menuBar();
    File1 = bar->addMenu("File");
    File1->setObjectName("File1");
    // Configuration files, above Exit.
    OpenConfiguration1 = File1->addAction("Open Configuration...");
    OpenConfiguration1->setObjectName("OpenConfiguration1");
    SaveConfiguration1 = File1->addAction("Save Configuration...");
    SaveConfiguration1->setObjectName("SaveConfiguration1");
    CompareWithDevice1 = File1->addAction("Compare With Device...");
    CompareWithDevice1->setObjectName("CompareWithDevice1");
    ExportReport1 = File1->addAction("Export Report...");
    ExportReport1->setObjectName("ExportReport1");
    File1->addSeparator();
    Exit1 = File1->addAction("Exit");
    Exit1->setObjectName("Exit1");
    Language = bar->addMenu("Language");
    Language->setObjectName("Language");
    const LanguageItems items = addLanguageItems(*Language);
    English = items.english;
    Traditional = items.traditional;
    Simplified = items.simplified;
    View1 = bar->addMenu("View");
    View1->setObjectName("View1");
    MeasuringValueTrend1 = View1->addAction("Measuring Value Trend");
    MeasuringValueTrend1->setObjectName("MeasuringValueTrend1");
    TrimWithMeter1 = View1->addAction("Trim With Meter...");
    TrimWithMeter1->setObjectName("TrimWithMeter1");
    View1->addSeparator();
    Manual1 = View1->addAction("Manual\tF1");  // F1 itself is the program's (HelpKey)
    Manual1->setObjectName("Manual1");
    Scan = bar->addMenu("Scan");
    Scan->setObjectName("Scan");
    Start = Scan->addAction("Start");
    Start->setObjectName("Start");
    Help = bar->addAction("Help");
    Help->setObjectName("Help");

    PageCont = new QTabWidget(&form);
    PageCont->setObjectName("PageCont");
    form.setCentralWidget(PageCont);
    Configuration = new QWidget;
    Configuration->setObjectName("Configuration");
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName("TabSheet1");
    PageCont->addTab(Configuration, "Configuration");
    PageCont->addTab(TabSheet1, "Cablibration");
    // The calibration page exists, but nothing lets the user select it.
    PageCont->setTabVisible(1, false);

    // Configuration page, left column: the configuration itself.
    QWidget* page = Configuration;
    Item1 = place(new RadioGroup(inputTypeItems(), 3, page), "Item1", 32, 8, 385, 145);
    Item1->setTitle("Input Signal Type");
    // The middle column ends where the mask below begins.
    Item1->setColumnGap(14);
    // The mask over "Voltage (-10 - 10V)" and "Current (0 - 24mA)" for models
    // without those inputs: opaque, above Item1, catching the clicks.
    GroupBox9 = group(page, "GroupBox9", "", 272, 48, 137, 49);
    GroupBox9->setFlat(true);
    GroupBox9->setAutoFillBackground(true);
    Label19 = label(GroupBox9, "Label19", "          ", 8, 6, 120, 16);
    Label20 = label(GroupBox9, "Label20", "          ", 8, 28, 120, 16);
    GroupBox9->raise();
    GroupBox9->hide();

    Item3 = place(new RadioGroup(itemList(regmap::kUnits), 2, page), "Item3", 32, 160, 130, 48);
    Item3->setTitle("Unit");
    Item4 = place(new RadioGroup(itemList(regmap::kOutputDirections), 2, page), "Item4", 170, 160,
                  247, 48);
    Item4->setTitle("Output Direction");
    Item5 =
        place(new RadioGroup(itemList(regmap::kBreakSignals), 3, page), "Item5", 32, 214, 385, 48);
    Item5->setTitle("Fault Signal On Sensor Break");

    Item2 = group(page, "Item2", "Measuring Range", 32, 270, 385, 118);
    Lab21 = label(Item2, "Lab21", "Lower Limit", 16, 20, 160, 16);
    Lab22 = label(Item2, "Lab22", "Upper Limit", 200, 20, 160, 16);
    Edi3 = edit<ExitEdit>(Item2, "Edi3", "0", 16, 38, 120, 22);
    Label4 = label(Item2, "Label4", "deg C", 142, 38, 50, 22);
    Edi4 = edit<ExitEdit>(Item2, "Edi4", "0", 200, 38, 120, 22);
    Label5 = label(Item2, "Label5", "deg C", 326, 38, 50, 22);
    Lab23 = label(Item2, "Lab23", "Maximal Measuring Range", 16, 68, 300, 16);
    Edi1 = edit(Item2, "Edi1", "0", 16, 86, 120, 22, true);
    Edi2 = edit(Item2, "Edi2", "0", 200, 86, 120, 22, true);
    Edit4 = edit(page, "Edit4", "", 0, 0, 10, 10);
    Edit4->hide();

    Item6 = group(page, "Item6", "Offset Correction", 32, 396, 385, 56);
    Edi61 = edit<ExitEdit>(Item6, "Edi61", "0", 16, 22, 120, 22);
    Label6 = label(Item6, "Label6", "deg C", 142, 22, 50, 22);
    Label1 = label(Item6, "Label1", "-100", 200, 22, 60, 22, Qt::AlignRight | Qt::AlignVCenter);
    Label2 = label(Item6, "Label2", "~", 262, 22, 16, 22, Qt::AlignCenter);
    Label3 = label(Item6, "Label3", "100", 280, 22, 60, 22);

    BtnP1 = button(page, "BtnP1", "Read From Device", 32, 466, 185, 36);
    BtnP2 = button(page, "BtnP2", "Write To Device", 232, 466, 185, 36);

    // Configuration page, right column: identity and status, measured value, trim.
    Item8 = group(page, "Item8", "Device Information", 432, 8, 360, 145);
    Lab81 = label(Item8, "Lab81", "Device    :", 16, 22, 110, 20);
    Device = label(Item8, "Device", "KV-LPX", 130, 22, 80, 20);
    Label7 = label(Item8, "Label7", "", 214, 22, 60, 20);
    Label18 = label(Item8, "Label18", "", 280, 22, 60, 20);
    Label18->hide();
    Lab82 = label(Item8, "Lab82", "Serial No :", 16, 46, 110, 20);
    Serial_Y = label(Item8, "Serial_Y", "0000", 130, 46, 200, 20);
    Lab83 = label(Item8, "Lab83", "Transmission Success", 16, 80, 330, 52);
    Lab83->setFont(pixelFont(21, true));
    setLabelColour(*Lab83, QColor(0, 255, 0));  // the design's lime, not a status green

    Item7 = group(page, "Item7", "Measuring Value", 432, 160, 360, 102);
    Label9 = label(Item7, "Label9", "PV", 16, 36, 30, 24);
    PV1_Edit = edit(Item7, "PV1_Edit", "", 50, 28, 170, 40, true);
    PV1_Edit->setFont(pixelFont(24, false));
    Btn71 = button(Item7, "Btn71", "Read", 236, 22, 108, 30);
    Btn72 = button(Item7, "Btn72", "Stop", 236, 58, 108, 30);

    GroupBox7 = group(page, "GroupBox7", " 4~20mA Output Signal Adjustment", 432, 270, 360, 182);
    RadioButton1 = radio(GroupBox7, "RadioButton1", "4 mA", 16, 34, 70, 22);
    Edit2 = edit(GroupBox7, "Edit2", "0", 90, 34, 64, 22, true);
    ScrollBar3 = trimBar(GroupBox7, "ScrollBar3", 162, 36, 150, 18);
    UpDown3 = place(new UpDown(GroupBox7), "UpDown3", 320, 32, 22, 26);
    RadioButton2 = radio(GroupBox7, "RadioButton2", "20mA", 16, 80, 70, 22);
    Edit3 = edit(GroupBox7, "Edit3", "0", 90, 80, 64, 22, true);
    ScrollBar4 = trimBar(GroupBox7, "ScrollBar4", 162, 82, 150, 18);
    UpDown4 = place(new UpDown(GroupBox7), "UpDown4", 320, 78, 22, 26);
    RadioButton3 = radio(GroupBox7, "RadioButton3", "Normal(4 ~ 20mA)", 16, 126, 200, 22);
    RadioButton1->setEnabled(false);
    RadioButton2->setEnabled(false);
    RadioButton3->setChecked(true);

    // Calibration page, left column: the sensor calibration procedures.
    page = TabSheet1;
    struct Row {
        QLabel** caption;
        const char* captionName;
        const char* captionText;
        ExitEdit** reference;
        const char* referenceName;
        const char* referenceText;
        QLabel** unit;
        const char* unitName;
        const char* unitText;
        QPushButton** start;
        const char* startName;
        QPushButton** done;
        const char* doneName;
        QLabel** firstLabel;
        const char* firstLabelName;
        QLineEdit** firstCoefficient;
        const char* firstCoefficientName;
        QLabel** secondLabel;
        const char* secondLabelName;
        const char* secondLabelText;
        QLineEdit** secondCoefficient;
        const char* secondCoefficientName;
    };
    const auto addRow = [](QGroupBox* box, int y, const Row& row) {
        *row.caption = label(box, row.captionName, row.captionText, 10, y, 28, 22);
        *row.reference =
            edit<ExitEdit>(box, row.referenceName, row.referenceText, 40, y, 58, 22, true);
        *row.unit = label(box, row.unitName, row.unitText, 102, y, 50, 22);
        *row.start = button(box, row.startName, "Start", 154, y - 1, 62, 24);
        *row.done = button(box, row.doneName, "Done", 220, y - 1, 62, 24);
        *row.firstLabel = label(box, row.firstLabelName, "A0", 292, y, 20, 22);
        *row.firstCoefficient = edit(box, row.firstCoefficientName, "0", 312, y, 66, 22, true);
        if (row.secondLabel != nullptr) {
            *row.secondLabel = label(box, row.secondLabelName, row.secondLabelText, 386, y, 20, 22);
            *row.secondCoefficient =
                edit(box, row.secondCoefficientName, "0", 406, y, 66, 22, true);
        }
    };

    GroupBox1 = group(page, "GroupBox1", "RTD Calibration", 8, 8, 484, 88);
    addRow(GroupBox1, 24,
           {&Lab_11,     "Lab_11", "LO",     &RTD_Lo, "RTD_Lo",   "0",        &Label46, "Label46",
            "(deg C)",   &Btn11,   "Btn11",  &Btn13,  "Btn13",    &Lab_13,    "Lab_13", &rtd_lo_a0,
            "rtd_lo_a0", &Lab_14,  "Lab_14", "A1",    &rtd_lo_a1, "rtd_lo_a1"});
    addRow(GroupBox1, 56,
           {&Lab_12,     "Lab_12", "Hi",     &RTD_Hi, "RTD_Hi",   "500",      &Label8,  "Label8",
            "(deg C)",   &Btn12,   "Btn12",  &Btn14,  "Btn14",    &Lab_15,    "Lab_15", &rtd_hi_a0,
            "rtd_hi_a0", &Lab_16,  "Lab_16", "A1",    &rtd_hi_a1, "rtd_hi_a1"});

    GroupBox3 = group(page, "GroupBox3", "T/C Calibration", 8, 104, 484, 88);
    addRow(GroupBox3, 24,
           {&Lab_31,    "Lab_31", "LO",     &TC_Lo, "TC_Lo",   "0",       &Label10, "Label10",
            "(deg C)",  &Btn31,   "Btn31",  &Btn33, "Btn33",   &Lab_33,   "Lab_33", &tc_lo_a0,
            "tc_lo_a0", &Lab_34,  "Lab_34", "A2",   &tc_lo_a2, "tc_lo_a2"});
    addRow(GroupBox3, 56,
           {&Lab_32,    "Lab_32", "Hi",     &TC_Hi, "TC_Hi",   "1000",    &Label12, "Label12",
            "(deg C)",  &Btn32,   "Btn32",  &Btn34, "Btn34",   &Lab_35,   "Lab_35", &tc_hi_a0,
            "tc_hi_a0", &Lab_36,  "Lab_36", "A2",   &tc_hi_a2, "tc_hi_a2"});

    GroupBox2 = group(page, "GroupBox2", "Voltage Calibration", 8, 200, 484, 88);
    addRow(GroupBox2, 24,
           {&Lab_21,   "Lab_21", "LO",    &VLo1,   "VLo1",  "0.000", &Label13, "Label13",
            "(v)",     &Btn21,   "Btn21", &Btn23,  "Btn23", &Lab_23, "Lab_23", &v_lo_a0,
            "v_lo_a0", nullptr,  nullptr, nullptr, nullptr, nullptr});
    addRow(GroupBox2, 56,
           {&Lab_22,   "Lab_22", "Hi",    &VHi1,   "VHi1",  "10.000", &Label14, "Label14",
            "(v)",     &Btn22,   "Btn22", &Btn24,  "Btn24", &Lab_24,  "Lab_24", &v_hi_a0,
            "v_hi_a0", nullptr,  nullptr, nullptr, nullptr, nullptr});

    GroupBox10 = group(page, "GroupBox10", "Current Calibration", 8, 296, 484, 88);
    addRow(GroupBox10, 24,
           {&Label27,   "Label27", "LO",      &mALo1,    "mALo1",    "4.000",  &Label16,  "Label16",
            "(mA)",     &Button9,  "Button9", &Button11, "Button11", &Label11, "Label11", &mA_lo_a0,
            "mA_lo_a0", nullptr,   nullptr,   nullptr,   nullptr,    nullptr});
    addRow(GroupBox10, 56, {&Label28,   "Label28", "Hi",      &mAHi1,    "mAHi1",    "20.000",
                            &Label17,   "Label17", "(mA)",    &Button10, "Button10", &Button12,
                            "Button12", &Label15,  "Label15", &mA_hi_a0, "mA_hi_a0", nullptr,
                            nullptr,    nullptr,   nullptr,   nullptr});

    GroupBox8 = group(page, "GroupBox8", "0mV Calibration", 8, 392, 484, 56);
    Edit6 = edit(GroupBox8, "Edit6", "0 mV", 40, 24, 58, 22, true);
    Button2 = button(GroupBox8, "Button2", "Start", 154, 23, 62, 24);
    Button3 = button(GroupBox8, "Button3", "Done", 220, 23, 62, 24);
    Edit5 = edit(GroupBox8, "Edit5", "0", 312, 24, 66, 22, true);

    // Calibration page, right column: the trim and measured value twins, the loader.
    GroupBox4 = group(page, "GroupBox4", " 4~20mA Output Signal Adjustment", 500, 8, 305, 182);
    Rad1 = radio(GroupBox4, "Rad1", "4 mA", 12, 34, 62, 22);
    Edi41 = edit(GroupBox4, "Edi41", "0", 76, 34, 58, 22, true);
    ScrollBar1 = trimBar(GroupBox4, "ScrollBar1", 140, 36, 126, 18);
    UpDown1 = place(new UpDown(GroupBox4), "UpDown1", 272, 32, 22, 26);
    Rad2 = radio(GroupBox4, "Rad2", "20mA", 12, 80, 62, 22);
    Edi42 = edit(GroupBox4, "Edi42", "0", 76, 80, 58, 22, true);
    ScrollBar2 = trimBar(GroupBox4, "ScrollBar2", 140, 82, 126, 18);
    UpDown2 = place(new UpDown(GroupBox4), "UpDown2", 272, 78, 22, 26);
    Rad3 = radio(GroupBox4, "Rad3", "Normal(4 ~ 20mA)", 12, 126, 200, 22);
    Rad1->setEnabled(false);
    Rad2->setEnabled(false);
    Rad3->setChecked(true);

    GroupBox5 = group(page, "GroupBox5", "Measuring Value", 500, 200, 305, 102);
    Label21 = label(GroupBox5, "Label21", "PV", 12, 36, 26, 24);
    PV1_Edit2 = edit(GroupBox5, "PV1_Edit2", "0", 40, 28, 150, 40, true);
    PV1_Edit2->setFont(pixelFont(24, true));
    Btn51 = button(GroupBox5, "Btn51", "Read", 200, 22, 92, 30);
    Btn52 = button(GroupBox5, "Btn52", "Stop", 200, 58, 92, 30);

    GroupBox6 = group(page, "GroupBox6", "Serial Number", 500, 310, 305, 60);
    Edit1 = edit(GroupBox6, "Edit1", "", 12, 24, 130, 22);
    Button1 = button(GroupBox6, "Button1", "Load Serial Number", 150, 23, 142, 24);
    GroupBox6->hide();

    Timer1 = timer(&form, "Timer1", 500);
    Timer2 = timer(&form, "Timer2", 1000);
    Timer3 = timer(&form, "Timer3", 50);
    Timer4 = timer(&form, "Timer4", 1000);
    Timer5 = timer(&form, "Timer5", 1000);
    Timer6 = timer(&form, "Timer6", 2000);
    // Compare With Device collects the configuration a second after asking, as a read.
    CompareTimer = timer(&form, "CompareTimer", 1000);
}

}  // namespace kelvane
