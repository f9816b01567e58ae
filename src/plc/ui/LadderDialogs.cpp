#include "plc/ui/LadderDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

#include "res/PlcTexts.h"

namespace pv::ui {

namespace {

QString hex2(int n) {
    return QString("%1").arg(n, 2, 16, QChar('0')).toUpper();
}

void fillNumbers(QComboBox* box, int count) {
    box->clear();
    for (int n = 1; n <= count; ++n) box->addItem(hex2(n), n);
}

QDialogButtonBox* okCancel(QDialog* d) {
    auto* b = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    QObject::connect(b, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(b, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return b;
}

// The contact kinds of "Edit Contact" in tab order.
struct ContactKind {
    char letter;  // 0 for Line and Blank
    const char* tab;
    const char* name;
    int count;
};
constexpr ContactKind kContactKinds[] = {
    {'I', "I", text::kKindInput, 8},          {'Q', "Q", text::kKindOutput, 2},
    {'M', "M", text::kKindAuxiliary, 15},     {'T', "T", text::kKindTimer, 8},
    {'C', "C", text::kKindCounter, 8},        {'G', "G", text::kKindAnalog, 8},
    {'F', "F", text::kKindOperation, 8},      {'D', "D", text::kKindDifferential, 0},
    {0, text::kKindLine, text::kKindLine, 0}, {0, text::kKindBlank, text::kKindBlank, 0}};
constexpr int kLineTab = 8, kBlankTab = 9;

int countOfLetter(char letter) {
    for (const auto& k : kContactKinds)
        if (k.letter == letter) return k.count;
    return 0;
}

// Reference kinds a block operand may name, with their numbers.
struct RefKind {
    const char* name;
    BlockValue::Kind kind;
    int count;
};
constexpr RefKind kRefKinds[] = {{text::kConstant, BlockValue::Kind::Constant, 0},
                                 {"T", BlockValue::Kind::Timer, 8},
                                 {"C", BlockValue::Kind::Counter, 8},
                                 {"V", BlockValue::Kind::Analog, 7},
                                 {"AS", BlockValue::Kind::AddSub, 4},
                                 {"MD", BlockValue::Kind::MulDiv, 4}};

QComboBox* relayBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->addItem(text::kNone, 0);
    for (int n = 1; n <= 15; ++n) box->addItem("M" + hex2(n), n);
    return box;
}

void setData(QComboBox* box, int value) {
    const int i = box->findData(value);
    if (i >= 0) box->setCurrentIndex(i);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

BlockValueEdit::BlockValueEdit(int digits, bool references, const char* formLabel, QWidget* parent)
    : QWidget(parent), digits_(digits) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    type_ = new QComboBox(this);
    type_->setObjectName("presetType");
    type_->setToolTip(text::kPresetType);
    for (const auto& k : kRefKinds) {
        if (k.kind != BlockValue::Kind::Constant && !references) continue;
        type_->addItem(k.name, int(k.kind));
    }
    constant_ = new QLineEdit(this);
    constant_->setObjectName("presetValue");
    constant_->setToolTip(text::kPresetValue);
    constant_->setMaxLength(digits);
    constant_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QString("[0-9]{1,%1}").arg(digits)), constant_));
    constant_->setMinimumWidth(fontMetrics().horizontalAdvance(QString(digits + 2, '0')));
    number_ = new QComboBox(this);
    formLabel_ = new QLabel(formLabel, this);
    form_ = new QComboBox(this);
    form_->addItems({text::kTFormOn, text::kTFormOff});
    row->addWidget(type_);
    row->addWidget(constant_, 1);
    row->addWidget(number_, 1);
    row->addWidget(formLabel_);
    row->addWidget(form_);
    connect(type_, &QComboBox::currentIndexChanged, this, [this] { typeChanged(); });
    typeChanged();
}

void BlockValueEdit::typeChanged() {
    const auto kind = BlockValue::Kind(type_->currentData().toInt());
    const bool constant = kind == BlockValue::Kind::Constant;
    constant_->setVisible(constant);
    number_->setVisible(!constant);
    for (const auto& k : kRefKinds)
        if (k.kind == kind && !constant) {
            const int keep = number_->currentData().toInt();
            fillNumbers(number_, k.count);
            setData(number_, keep);
        }
    formLabel_->setVisible(kind == BlockValue::Kind::Timer);
    form_->setVisible(kind == BlockValue::Kind::Timer);
}

void BlockValueEdit::setValue(const BlockValue& v) {
    setData(type_, int(v.kind));
    typeChanged();
    if (v.isReference()) {
        setData(number_, v.number);
        form_->setCurrentIndex(v.timerForm ? 1 : 0);
    } else {
        // Timer presets show four digits, the six-digit values of the other blocks five ("%.5d").
        const int shown = digits_ == 4 ? 4 : 5;
        constant_->setText(QString("%1").arg(v.constant, shown, 10, QChar('0')));
    }
}

BlockValue BlockValueEdit::value() const {
    const auto kind = BlockValue::Kind(type_->currentData().toInt());
    if (kind == BlockValue::Kind::Constant)
        return BlockValue::constantOf(constant_->text().toUInt());
    return BlockValue::reference(kind, number_->currentData().toInt(),
                                 kind == BlockValue::Kind::Timer ? form_->currentIndex() : 0);
}

InputRefEdit::InputRefEdit(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    enabled_ = new QCheckBox(text::kContact, this);
    letter_ = new QComboBox(this);
    for (char c : std::string_view("IQMTCGFiqmtcgf")) letter_->addItem(QString(QChar(c)), int(c));
    number_ = new QComboBox(this);
    row->addWidget(enabled_);
    row->addWidget(letter_);
    row->addWidget(number_, 1);
    connect(letter_, &QComboBox::currentIndexChanged, this, [this] { letterChanged(); });
    connect(enabled_, &QCheckBox::toggled, this, [this](bool on) {
        letter_->setEnabled(on);
        number_->setEnabled(on);
    });
    letterChanged();
    setInput({});
}

void InputRefEdit::letterChanged() {
    const char upper = char(std::toupper(letter_->currentData().toInt()));
    const int keep = number_->currentData().toInt();
    fillNumbers(number_, countOfLetter(upper));
    setData(number_, keep);
}

void InputRefEdit::setInput(const InputRef& in) {
    enabled_->setChecked(in.connected());
    letter_->setEnabled(in.connected());
    number_->setEnabled(in.connected());
    if (!in.connected()) return;
    setData(letter_, int(in.letter));
    letterChanged();
    setData(number_, in.number);
}

InputRef InputRefEdit::input() const {
    if (!enabled_->isChecked() || !isEnabled()) return {};
    return {char(letter_->currentData().toInt()), number_->currentData().toInt()};
}

// ---------------------------------------------------------------------------------------------

ContactDialog::ContactDialog(const std::string& cell, char letter, QWidget* parent)
    : QDialog(parent) {
    setObjectName("contactDialog");
    setWindowTitle(text::kEditContactCaption);
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabBar(this);
    for (const auto& k : kContactKinds) tabs_->addTab(k.tab);
    layout->addWidget(tabs_);
    auto* form = new QFormLayout;
    kind_ = new QLabel(this);
    form->addRow(text::kContactType, kind_);
    auto* numberRow = new QHBoxLayout;
    number_ = new QComboBox(this);
    range_ = new QLabel(this);
    numberRow->addWidget(number_, 1);
    numberRow->addWidget(range_);
    form->addRow(text::kContactNumber, numberRow);
    layout->addLayout(form);
    auto* radios = new QHBoxLayout;
    str_ = new QRadioButton(text::kStr, this);
    strNot_ = new QRadioButton(text::kStrNot, this);
    radios->addWidget(str_);
    radios->addWidget(strNot_);
    layout->addLayout(radios);
    layout->addWidget(okCancel(this));
    connect(tabs_, &QTabBar::currentChanged, this, &ContactDialog::tabChanged);

    // The tab of the cell's element, unless a tool asked for another kind.
    const char c0 = cell.empty() ? ' ' : cell[0];
    int tab = kBlankTab;
    if (cell == "---") tab = kLineTab;
    const char upper = char(std::toupper(static_cast<unsigned char>(c0)));
    for (int i = 0; i < 8; ++i)
        if (kContactKinds[i].letter == upper) tab = i;
    const bool sameKind = letter == 0 || letter == upper;
    if (!sameKind || (tab == kBlankTab && letter)) {
        for (int i = 0; i < 8; ++i)
            if (kContactKinds[i].letter == letter) tab = i;
    } else if (tab == kBlankTab) {
        tab = 0;  // an empty cell offers an input first
    }
    tabs_->setCurrentIndex(tab);
    tabChanged(tab);
    if (sameKind && tab < 8 && tab != kBlankTab) {
        if (std::islower(static_cast<unsigned char>(c0))) strNot_->setChecked(true);
        bool ok = false;
        const int n = QString::fromStdString(cell.substr(1)).toInt(&ok, 16);
        if (ok) setData(number_, n);
    }
}

void ContactDialog::tabChanged(int tab) {
    const ContactKind& k = kContactKinds[tab];
    kind_->setText(k.name);
    fillNumbers(number_, k.count);
    number_->setEnabled(k.count > 0);
    range_->setText(k.count ? "01~" + hex2(k.count) : QString());
    const bool element = tab < kLineTab;
    str_->setEnabled(element);
    strNot_->setEnabled(element);
    str_->setChecked(true);
}

std::string ContactDialog::cell() const {
    const int tab = tabs_->currentIndex();
    if (tab == kLineTab) return "---";
    if (tab == kBlankTab) return "   ";
    const bool inverted = strNot_->isChecked();
    const char letter = kContactKinds[tab].letter;
    const char shown = inverted ? char(std::tolower(letter)) : letter;
    if (letter == 'D') return std::string(1, shown) + "00";
    return shown + hex2(number_->currentData().toInt()).toStdString();
}

// ---------------------------------------------------------------------------------------------

namespace {
struct CoilKind {
    const char* page;
    int count;
};
constexpr CoilKind kCoilKinds[] = {{"Q", 2}, {"M", 15}, {"T", 8},  {"C", 8},
                                   {"G", 8}, {"F", 8},  {"AS", 4}, {"MD", 4}};

QLabel* formula(const char* text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}
}  // namespace

CoilDialog::CoilDialog(const std::array<uint8_t, 4>& coil, const std::string& page,
                       PlcProgram& program, QWidget* parent)
    : QDialog(parent), program_(program), coil_(coil) {
    setObjectName("coilDialog");
    setWindowTitle(text::kEditCoilCaption);
    auto* layout = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    layout->addWidget(pages_);
    buildQM(true);
    buildQM(false);
    buildTimer();
    buildCounter();
    buildComparator();
    buildDrive();
    buildArith(true);
    buildArith(false);
    layout->addWidget(okCancel(this));

    // The coil's own kind and number, unless a tool asked for another kind.
    QString own;
    if (coil[0] == 'A' && coil[1] == 'S')
        own = "AS";
    else if (coil[0] == 'M' && coil[1] == 'D')
        own = "MD";
    else if (coil[1] != ' ' && coil[1] != 0)
        own = QString(QChar(coil[1]));
    const QString wanted =
        page.empty() ? (own.isEmpty() ? "Q" : own) : QString::fromStdString(page);
    for (const auto& [kind, box] : numbers_) {
        if (kind != own) continue;
        bool ok = false;
        const int n = QString(QChar(coil[2])).append(QChar(coil[3])).toInt(&ok, 16);
        if (ok) setData(box, n);
    }
    if (own == "Q" || own == "M") {
        QComboBox* out = own == "Q" ? qOut_ : mOut_;
        const uint8_t kinds[] = {kCoilOutput, uint8_t(own == "Q" ? kCoilSet : kCoilReset),
                                 uint8_t(own == "Q" ? kCoilReset : kCoilSet), kCoilPulse};
        for (int i = 0; i < 4; ++i)
            if (coil[0] == kinds[i]) out->setCurrentIndex(i);
    }
    for (const auto& k : kCoilKinds) loadBlock(k.page);
    selectPage(wanted);
}

void CoilDialog::selectPage(const QString& kind) {
    for (int i = 0; i < pages_->count(); ++i)
        if (pages_->tabText(i) == kind) pages_->setCurrentIndex(i);
}

QComboBox* CoilDialog::numberBox(const QString& kind) const {
    for (const auto& [k, box] : numbers_)
        if (k == kind) return box;
    return nullptr;
}

int CoilDialog::number(const QString& kind) const {
    return numberBox(kind)->currentData().toInt();
}

QWidget* CoilDialog::numberRow(const QString& kind, int count, QWidget* page) {
    auto* w = new QWidget(page);
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    auto* box = new QComboBox(w);
    box->setObjectName("coilNumber" + kind);
    fillNumbers(box, count);
    row->addWidget(new QLabel(text::kSelectCoilNo, w));
    row->addWidget(box, 1);
    row->addWidget(new QLabel(QString("(01~%1)").arg(hex2(count)), w));
    numbers_.emplace_back(kind, box);
    if (kind != "Q" && kind != "M")
        connect(box, &QComboBox::currentIndexChanged, this, [this, kind] { loadBlock(kind); });
    return w;
}

void CoilDialog::buildQM(bool q) {
    auto* page = new QWidget(pages_);
    auto* form = new QFormLayout(page);
    form->addRow(numberRow(q ? "Q" : "M", q ? 2 : 15, page));
    auto* out = new QComboBox(page);
    // The two pages list Set and Reset in the drive tool's own, different orders.
    if (q)
        out->addItems({text::kOutPlain, text::kOutSet, text::kOutReset, text::kOutPulse});
    else
        out->addItems({text::kOutPlain, text::kOutReset, text::kOutSet, text::kOutPulse});
    form->addRow(text::kOutputType, out);
    (q ? qOut_ : mOut_) = out;
    pages_->addTab(page, q ? "Q" : "M");
}

void CoilDialog::buildTimer() {
    auto* page = new QWidget(pages_);
    auto* form = new QFormLayout(page);
    form->addRow(numberRow("T", 8, page));
    tMode_ = new QComboBox(page);
    for (int m = 0; m < 7; ++m) tMode_->addItem(text::kTimerModes[m], m + 1);
    form->addRow(QString("%1 (1~7)").arg(text::kMode), tMode_);
    tBase_ = new QComboBox(page);
    for (int b = 0; b < 3; ++b) tBase_->addItem(text::kTimeBases[b], b);
    form->addRow(text::kTimeBase, tBase_);
    tPreset_ = new BlockValueEdit(4, true, text::kTModeSelect, page);
    form->addRow(text::kPresetValue, tPreset_);
    form->addRow(text::kCurrentValue, new QLabel(text::kNoCurrentValue, page));
    tReset_ = new InputRefEdit(page);
    form->addRow(text::kResetInput, tReset_);
    tSecond_ = new QGroupBox(QString("%1 / %2").arg(text::kOnTime, text::kOffTime), page);
    auto* second = new QFormLayout(tSecond_);
    tBase2_ = new QComboBox(tSecond_);
    for (int b = 0; b < 3; ++b) tBase2_->addItem(text::kTimeBases[b], b);
    second->addRow(text::kTimeBase, tBase2_);
    tPreset2_ = new BlockValueEdit(4, true, text::kTModeSelect, tSecond_);
    second->addRow(text::kPresetValue, tPreset2_);
    form->addRow(tSecond_);
    connect(tMode_, &QComboBox::currentIndexChanged, this, [this] { timerModeChanged(); });
    pages_->addTab(page, "T");
}

void CoilDialog::timerModeChanged() {
    const int mode = tMode_->currentData().toInt();
    tReset_->setEnabled(TimerSettings::usesReset(mode));
    tSecond_->setEnabled(mode == 7);
}

void CoilDialog::buildCounter() {
    auto* page = new QWidget(pages_);
    auto* form = new QFormLayout(page);
    form->addRow(numberRow("C", 8, page));
    cMode_ = new QComboBox(page);
    for (int m = 0; m < 4; ++m) cMode_->addItem(text::kCounterModes[m], m + 1);
    form->addRow(QString("%1 (1~4)").arg(text::kMode), cMode_);
    cPreset_ = new BlockValueEdit(6, true, text::kTModeSelect, page);
    form->addRow(text::kPresetValue, cPreset_);
    form->addRow(text::kCurrentValue, new QLabel(text::kNoCurrentValue, page));
    cDir_ = new InputRefEdit(page);
    form->addRow(text::kDirectionSet, cDir_);
    cReset_ = new InputRefEdit(page);
    form->addRow(text::kResetInput, cReset_);
    pages_->addTab(page, "C");
}

void CoilDialog::buildComparator() {
    auto* page = new QWidget(pages_);
    auto* form = new QFormLayout(page);
    form->addRow(numberRow("G", 8, page));
    gMode_ = new QComboBox(page);
    for (int m = 0; m < 3; ++m) gMode_->addItem(text::kComparatorModes[m], m + 1);
    form->addRow(QString("%1 (1~3)").arg(text::kSelect), gMode_);
    gValue_ = new BlockValueEdit(6, true, text::kTModeSelect, page);
    form->addRow(text::kCompared, gValue_);
    form->addRow(text::kCurrentValue, new QLabel(text::kNoCurrentValue, page));
    gUpper_ = new BlockValueEdit(6, true, text::kTModeSelect, page);
    form->addRow(text::kUpperLimit, gUpper_);
    gLower_ = new BlockValueEdit(6, true, text::kTModeSelect, page);
    form->addRow(text::kLowerLimit, gLower_);
    connect(gMode_, &QComboBox::currentIndexChanged, this, [this] { comparatorModeChanged(); });
    pages_->addTab(page, "G");
}

void CoilDialog::comparatorModeChanged() {
    const int mode = gMode_->currentData().toInt();
    gLower_->setEnabled(mode == 1 || mode == 3);
    gUpper_->setEnabled(mode == 2 || mode == 3);
}

void CoilDialog::buildDrive() {
    auto* page = new QWidget(pages_);
    auto* form = new QFormLayout(page);
    form->addRow(numberRow("F", 8, page));
    auto unitRow = [page](QWidget* edit, const char* unit) {
        auto* w = new QWidget(page);
        auto* row = new QHBoxLayout(w);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(edit, 1);
        row->addWidget(new QLabel(unit, w));
        return w;
    };
    fSet_ = new BlockValueEdit(6, true, text::kTModeSelect, page);
    fSeg_ = new BlockValueEdit(6, true, text::kTModeSelect, page);
    fAcc_ = new BlockValueEdit(6, false, text::kTModeSelect, page);
    fDec_ = new BlockValueEdit(6, false, text::kTModeSelect, page);
    form->addRow(text::kSetFreq, unitRow(fSet_, text::kHz));
    form->addRow(text::kSegFreq, unitRow(fSeg_, text::kHz));
    form->addRow(text::kAccTime, unitRow(fAcc_, text::kSecond));
    form->addRow(text::kDecTime, unitRow(fDec_, text::kSecond));
    fFwd_ = new InputRefEdit(page);
    fTerm_ = new InputRefEdit(page);
    form->addRow(text::kFwdRev, fFwd_);
    form->addRow(text::kTerminal, fTerm_);
    pages_->addTab(page, "F");
}

void CoilDialog::buildArith(bool as) {
    auto* page = new QWidget(pages_);
    auto* form = new QFormLayout(page);
    form->addRow(numberRow(as ? "AS" : "MD", 4, page));
    form->addRow(formula(as ? text::kAsFormula : text::kMdFormula, page));
    const char* labels[] = {text::kValue1, as ? text::kPlusValue2 : text::kTimesValue2,
                            as ? text::kMinusValue3 : text::kDivValue3};
    auto& values = as ? asValues_ : mdValues_;
    for (int i = 0; i < 3; ++i) {
        values[i] = new BlockValueEdit(6, true, text::kTMode, page);
        form->addRow(labels[i], values[i]);
    }
    if (!as) form->addRow(text::kCurrentValueLower, new QLabel(text::kNoCurrentValue, page));
    QComboBox* out = relayBox(page);
    form->addRow(as ? text::kOutputType : text::kErrorCoil, out);
    (as ? asOut_ : mdOut_) = out;
    pages_->addTab(page, as ? "AS" : "MD");
}

void CoilDialog::loadBlock(const QString& kind) {
    if (kind == "Q" || kind == "M") return;
    const int i = number(kind) - 1;
    if (i < 0) return;
    if (kind == "T") {
        const TimerSettings s = ReadTimer(program_.timers[i]).value_or(TimerSettings{});
        setData(tMode_, s.mode);
        setData(tBase_, s.timeBase);
        tPreset_->setValue(s.preset);
        tReset_->setInput(s.reset);
        setData(tBase2_, s.timeBase2);
        tPreset2_->setValue(s.preset2);
        timerModeChanged();
    } else if (kind == "C") {
        const CounterSettings s = ReadCounter(program_.counters[i]).value_or(CounterSettings{});
        setData(cMode_, s.mode);
        cPreset_->setValue(s.preset);
        cDir_->setInput(s.direction);
        cReset_->setInput(s.reset);
    } else if (kind == "G") {
        const ComparatorSettings s =
            ReadComparator(program_.comparators[i]).value_or(ComparatorSettings{});
        setData(gMode_, s.mode);
        gValue_->setValue(s.value);
        gUpper_->setValue(s.upper);
        gLower_->setValue(s.lower);
        comparatorModeChanged();
    } else if (kind == "F") {
        const DriveBlockSettings s =
            ReadDriveBlock(program_.driveBlocks[i]).value_or(DriveBlockSettings{});
        fSet_->setValue(s.setFreq);
        fSeg_->setValue(s.segFreq);
        fAcc_->setValue(s.accTime);
        fDec_->setValue(s.decTime);
        fFwd_->setInput(s.fwdRev);
        fTerm_->setInput(s.terminal);
    } else {
        const bool as = kind == "AS";
        const BlockRecord& r = as ? program_.addSubBlocks[i] : program_.mulDivBlocks[i];
        const ArithSettings s = ReadArith(r).value_or(ArithSettings{});
        for (int v = 0; v < 3; ++v) (as ? asValues_ : mdValues_)[v]->setValue(s.values[v]);
        setData(as ? asOut_ : mdOut_, s.outputRelay);
    }
}

void CoilDialog::accept() {
    const QString kind = pages_->tabText(pages_->currentIndex());
    const int n = number(kind);
    const QByteArray digits = hex2(n).toLatin1();
    coil_ = {' ', static_cast<uint8_t>(kind[0].toLatin1()), uint8_t(digits[0]), uint8_t(digits[1])};
    if (kind == "Q" || kind == "M") {
        const bool q = kind == "Q";
        const int i = (q ? qOut_ : mOut_)->currentIndex();
        const uint8_t kinds[] = {kCoilOutput, q ? kCoilSet : kCoilReset, q ? kCoilReset : kCoilSet,
                                 kCoilPulse};
        coil_[0] = kinds[i];
    } else if (kind == "AS" || kind == "MD") {
        coil_[0] = uint8_t(kind[0].toLatin1());
        coil_[1] = uint8_t(kind[1].toLatin1());
        ArithSettings s;
        const bool as = kind == "AS";
        for (int v = 0; v < 3; ++v) s.values[v] = (as ? asValues_ : mdValues_)[v]->value();
        s.outputRelay = (as ? asOut_ : mdOut_)->currentData().toInt();
        WriteArith(as ? program_.addSubBlocks[n - 1] : program_.mulDivBlocks[n - 1], s);
    } else {
        coil_[0] = kCoilOutput;
        if (kind == "T") {
            TimerSettings s;
            s.mode = tMode_->currentData().toInt();
            s.timeBase = tBase_->currentData().toInt();
            s.preset = tPreset_->value();
            // Modes without a reset input store none, so none goes to the drive.
            s.reset = TimerSettings::usesReset(s.mode) ? tReset_->input() : InputRef{};
            s.timeBase2 = tBase2_->currentData().toInt();
            s.preset2 = tPreset2_->value();
            if (s.mode != 7) {
                // Outside mode 7 the second time keeps the record's neutral pattern.
                s.timeBase2 = 1;
                s.preset2 = BlockValue::constantOf(0);
            }
            WriteTimer(program_.timers[n - 1], s);
        } else if (kind == "C") {
            WriteCounter(program_.counters[n - 1],
                         {cMode_->currentData().toInt(), cPreset_->value(), cDir_->input(),
                          cReset_->input()});
        } else if (kind == "G") {
            WriteComparator(program_.comparators[n - 1],
                            {gMode_->currentData().toInt(), gValue_->value(), gUpper_->value(),
                             gLower_->value()});
        } else if (kind == "F") {
            WriteDriveBlock(program_.driveBlocks[n - 1],
                            {fSet_->value(), fSeg_->value(), fAcc_->value(), fDec_->value(),
                             fFwd_->input(), fTerm_->input()});
        }
    }
    QDialog::accept();
}

// ---------------------------------------------------------------------------------------------

CommentDialog::CommentDialog(const std::array<std::string, kCommentTextLines>& lines,
                             QWidget* parent)
    : QDialog(parent) {
    setObjectName("commentDialog");
    setWindowTitle(text::kEditCommentsCaption);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (int i = 0; i < kCommentTextLines; ++i) {
        edits_[i] = new QLineEdit(QString::fromStdString(lines[i]), this);
        edits_[i]->setMaxLength(kCommentMaxChars);
        edits_[i]->setMinimumWidth(edits_[i]->fontMetrics().horizontalAdvance(QString(40, 'M')));
        form->addRow(QString(text::kCommentLineLabel).arg(i + 1), edits_[i]);
    }
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

std::array<std::string, kCommentTextLines> CommentDialog::lines() const {
    std::array<std::string, kCommentTextLines> out;
    for (int i = 0; i < kCommentTextLines; ++i) out[i] = edits_[i]->text().toStdString();
    return out;
}

// ---------------------------------------------------------------------------------------------

namespace {
struct SymbolKind {
    const char* name;
    int count;
};
// Element kinds of the symbol table in type order (type = index + 1).
constexpr SymbolKind kSymbolKinds[] = {{"I", 8}, {"Q", 2}, {"M", 15}, {"T", 8}, {"C", 8},
                                       {"G", 8}, {"F", 8}, {"AS", 4}, {"MD", 4}};
}  // namespace

SymbolDialog::SymbolDialog(const std::vector<CElemNote>& symbols, SymbolDisplay display,
                           bool enabled, QWidget* parent)
    : QDialog(parent), symbols_(symbols) {
    setObjectName("symbolDialog");
    setWindowTitle(text::kSymbolCaption);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    type_ = new QComboBox(this);
    for (int i = 0; i < 9; ++i) type_->addItem(kSymbolKinds[i].name, i + 1);
    top->addWidget(new QLabel(text::kElemType, this));
    top->addWidget(type_, 1);
    layout->addLayout(top);
    table_ = new QTableWidget(0, 2, this);
    table_->setHorizontalHeaderLabels({text::kSymbolColumnElement, text::kSymbolColumnText});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    layout->addWidget(table_, 1);
    auto* show = new QHBoxLayout;
    display_ = new QButtonGroup(this);
    const char* names[] = {text::kShowElement, text::kShowSymbol, text::kShowBoth};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(names[i], this);
        display_->addButton(b, i);
        show->addWidget(b);
    }
    display_->button(int(display))->setChecked(true);
    enabled_ = new QCheckBox(text::kDisplayEnable, this);
    enabled_->setChecked(enabled);
    show->addWidget(enabled_);
    layout->addLayout(show);
    layout->addWidget(okCancel(this));
    connect(type_, &QComboBox::currentIndexChanged, this, [this] {
        keepType();
        showType();
    });
    showType();
    resize(420, 420);
}

void SymbolDialog::showType() {
    shownType_ = type_->currentData().toInt();
    const SymbolKind& k = kSymbolKinds[shownType_ - 1];
    table_->setRowCount(k.count);
    for (int n = 1; n <= k.count; ++n) {
        auto* name = new QTableWidgetItem(k.name + hex2(n));
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        table_->setItem(n - 1, 0, name);
        std::string textOf;
        for (const auto& g : symbols_)
            if (g.type == shownType_)
                for (const auto& e : g.entries)
                    if (e.key == n) textOf = e.text;
        table_->setItem(n - 1, 1, new QTableWidgetItem(QString::fromStdString(textOf)));
    }
}

void SymbolDialog::keepType() {
    if (shownType_ == 0) return;
    CElemNote* group = nullptr;
    for (auto& g : symbols_)
        if (g.type == shownType_) group = &g;
    if (!group) {
        symbols_.push_back({shownType_, {}});
        group = &symbols_.back();
    }
    for (int r = 0; r < table_->rowCount(); ++r) {
        const int key = r + 1;
        const std::string t = table_->item(r, 1) ? table_->item(r, 1)->text().toStdString() : "";
        auto it = std::find_if(group->entries.begin(), group->entries.end(),
                               [key](const auto& e) { return e.key == key; });
        if (t.empty()) {
            if (it != group->entries.end()) group->entries.erase(it);
        } else if (it != group->entries.end()) {
            it->text = t;
        } else {
            group->entries.push_back({key, t});
        }
    }
    std::erase_if(symbols_, [](const CElemNote& g) { return g.entries.empty(); });
}

std::vector<CElemNote> SymbolDialog::symbols() const {
    const_cast<SymbolDialog*>(this)->keepType();
    return symbols_;
}

SymbolDisplay SymbolDialog::display() const {
    return SymbolDisplay(display_->checkedId());
}

bool SymbolDialog::displayEnabled() const {
    return enabled_->isChecked();
}

// ---------------------------------------------------------------------------------------------

int QtLadderDialogs::run(QDialog& d) {
    if (hook_ && hook_(d)) return d.result();
    return d.exec();
}

bool QtLadderDialogs::editContact(std::string& cell, char letter) {
    ContactDialog d(cell, letter, parent_);
    if (run(d) != QDialog::Accepted) return false;
    cell = d.cell();
    return true;
}

bool QtLadderDialogs::editCoil(std::array<uint8_t, 4>& coil, const std::string& page,
                               PlcProgram& program) {
    CoilDialog d(coil, page, program, parent_);
    if (run(d) != QDialog::Accepted) return false;
    coil = d.coil();
    return true;
}

bool QtLadderDialogs::editComment(std::array<std::string, kCommentTextLines>& lines) {
    CommentDialog d(lines, parent_);
    if (run(d) != QDialog::Accepted) return false;
    lines = d.lines();
    return true;
}

std::string SymbolOf(const PlcProgram& program, const std::string& kind, int number) {
    for (int i = 0; i < 9; ++i) {
        if (kind != kSymbolKinds[i].name) continue;
        for (const auto& g : program.symbols)
            if (g.type == i + 1)
                for (const auto& e : g.entries)
                    if (e.key == number) return e.text;
    }
    return {};
}

std::string SymbolOf(const PlcProgram& program, char kind, int number) {
    return SymbolOf(program, std::string(1, char(std::toupper(static_cast<unsigned char>(kind)))),
                    number);
}

}  // namespace pv::ui
