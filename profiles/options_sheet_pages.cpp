#include "profiles/options_sheet_pages.h"

#include "bindings/veneer.h"
#include "capture/dialog_units.h"
#include "controlkit/color_button.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <cmath>

namespace kinolux {

namespace {

using K = ControlKind;

// Every page has the same room under the tabs.
const QRect kPageUnits(0, 0, 282, 184);
const QColor kLabelText(93, 121, 161);

constexpr DialogControl kAudioRows[] = {
    {1145, K::CheckBox, "btnDisableAudioInfo", nullptr, {10, 8, 160, 10}},
    {1148, K::Static, "strAudioChannelInfo", nullptr, {10, 27, 74, 8}},
    {1153, K::ComboBox, "strAudioChannelInfo", nullptr, {88, 25, 120, 14}},
    {1151, K::Static, "strAudioCodecInfo", nullptr, {10, 45, 74, 8}},
    {1155, K::ComboBox, "strAudioCodecInfo", nullptr, {88, 43, 120, 14}},
    {1157, K::GroupBox, "btnSampleRateInfo", nullptr, {6, 62, 270, 40}},
    {1159, K::Radio, "btnOrginalFrameRateInfo", nullptr, {14, 74, 250, 10}},
    {1160, K::Radio, "btnCustomFrameRateInfo", nullptr, {14, 87, 70, 10}},
    {1221, K::Input, "btnSampleRateInfo", nullptr, {88, 85, 60, 13}},
    {1222, K::Static, "strFrameRateLabelInfo", nullptr, {154, 87, 110, 8}},
    {1223, K::GroupBox, "btnBitrateInfo", nullptr, {6, 106, 270, 40}},
    {1224, K::Radio, "btnOriginalBitrateInfo", nullptr, {14, 118, 250, 10}},
    {1225, K::Radio, "btnCustomBitrateInfo", nullptr, {14, 131, 70, 10}},
    {1226, K::Input, "btnBitrateInfo", nullptr, {88, 129, 60, 13}},
    {1227, K::Static, "strBitrateLabelInfo", nullptr, {154, 131, 110, 8}},
    {1228, K::GroupBox, "btnAudioVolInfo", nullptr, {6, 150, 270, 30}},
    {1229, K::CheckBox, "btnAdjustVolInfo", nullptr, {14, 163, 110, 10}},
    {1231, K::SpinBox, "btnAdjustVolInfo", nullptr, {130, 161, 50, 13}},
    {1232, K::Static, "strVolLabelInfo", nullptr, {186, 163, 78, 8}},
};

constexpr DialogControl kVideoRows[] = {
    {1233, K::CheckBox, "btnDisableVideoInfo", nullptr, {10, 8, 160, 10}},
    {1234, K::Static, "strVideoCodecInfo", nullptr, {10, 27, 74, 8}},
    {1235, K::ComboBox, "strVideoCodecInfo", nullptr, {88, 25, 120, 14}},
    {1236, K::GroupBox, "btnVideoFramerateInfo", nullptr, {6, 44, 270, 40}},
    {1047, K::Radio, "btnVideoFramerateOriginalInfo", nullptr, {14, 56, 250, 10}},
    {1237, K::Radio, "btnVideoFramerateCustomInfo", nullptr, {14, 69, 70, 10}},
    {1238, K::Input, "btnVideoFramerateInfo", nullptr, {88, 67, 72, 13}},
    {1239, K::Static, "strFramerateLabelInfo", nullptr, {166, 69, 100, 8}},
    {1240, K::GroupBox, "btnVideoBitrateInfo", nullptr, {6, 88, 270, 40}},
    {1241, K::Radio, "btnOriginalBitrateInfo", nullptr, {14, 100, 176, 10}},
    {1242, K::Edit, "btnOriginalBitrateInfo", nullptr, {192, 98, 44, 13}},
    {1243, K::Static, "strBitrateLabelInfo", nullptr, {240, 100, 34, 8}},
    {1244, K::Radio, "btnCustomBitrateInfo", nullptr, {14, 113, 70, 10}},
    {1250, K::Input, "btnCustomBitrateInfo", nullptr, {192, 111, 44, 13}},
    {1245, K::Static, "strBitrateLabelInfo", nullptr, {240, 113, 34, 8}},
    {1246, K::CheckBox, "btnHQSettingsInfo", nullptr, {10, 134, 200, 10}},
    {1247, K::CheckBox, "btnVidelLevelInfo", nullptr, {10, 148, 100, 10}},
    {1248, K::Static, "strVideoLevelInfo", nullptr, {10, 166, 112, 8}},
    {1249, K::Input, "strVideoLevelInfo", nullptr, {124, 164, 46, 13}},
    {1146, K::Input, "strVideoLevelInfo", nullptr, {174, 164, 46, 13}},
    {1149, K::Input, "strVideoLevelInfo", nullptr, {224, 164, 46, 13}},
};

// The size choices in the order of nVideoRiszeOption; most keep their
// English texts in every language.
constexpr int kSizeItems[] = {1252, 1136, 1137, 1138, 1140, 1147, 1150, 1152, 1154, 1158, 1156, 1143};
struct FixedText {
    int id;
    const char* text;
};
constexpr FixedText kFixedTexts[] = {{1136, "SQCIF (128 x 96)"},
                                     {1137, "QCIF (176 x 144)"},
                                     {1138, "CIF (352 x 288)"},
                                     {1140, "4CIF (704 x 576)"},
                                     {1147, "320 x 240"},
                                     {1150, "640 x 480"},
                                     {1152, "720 x 480"},
                                     {1154, "720 x 576"},
                                     {1156, "1280 x 768"},
                                     {1143, "1920 x 1080"},
                                     {1086, "x"},
                                     {1255, "4 : 3"},
                                     {1256, "16 : 9"}};

constexpr DialogControl kResizeRows[] = {
    {1251, K::GroupBox, "btnResizeInfo", nullptr, {6, 6, 270, 116}},
    {1252, K::Radio, "btnOriginalSizeInfo", nullptr, {14, 19, 120, 10}},
    {1136, K::Radio, nullptr, nullptr, {14, 33, 120, 10}},
    {1137, K::Radio, nullptr, nullptr, {14, 47, 120, 10}},
    {1138, K::Radio, nullptr, nullptr, {14, 61, 120, 10}},
    {1140, K::Radio, nullptr, nullptr, {14, 75, 120, 10}},
    {1147, K::Radio, nullptr, nullptr, {14, 89, 120, 10}},
    {1150, K::Radio, nullptr, nullptr, {146, 19, 120, 10}},
    {1152, K::Radio, nullptr, nullptr, {146, 33, 120, 10}},
    {1154, K::Radio, nullptr, nullptr, {146, 47, 120, 10}},
    {1156, K::Radio, nullptr, nullptr, {146, 61, 120, 10}},
    {1143, K::Radio, nullptr, nullptr, {146, 75, 120, 10}},
    {1158, K::Radio, "btnCustomSizeInfo", nullptr, {146, 89, 120, 10}},
    {1085, K::Input, "btnCustomSizeInfo", nullptr, {158, 103, 44, 13}},
    {1086, K::Static, nullptr, nullptr, {206, 105, 8, 8}},
    {1087, K::Input, "btnCustomSizeInfo", nullptr, {218, 103, 44, 13}},
    {1253, K::GroupBox, "btnAspectratioInfo", nullptr, {6, 128, 270, 30}},
    {1254, K::Radio, "btnNormalAspectratioInfo", nullptr, {14, 141, 80, 10}},
    {1255, K::Radio, nullptr, nullptr, {100, 141, 70, 10}},
    {1256, K::Radio, nullptr, nullptr, {180, 141, 70, 10}},
};

constexpr DialogControl kCropPadRows[] = {
    {1257, K::GroupBox, "btnCropInfo", nullptr, {6, 6, 270, 64}},
    {1258, K::CheckBox, "btnEnableCropInfo", nullptr, {14, 19, 160, 10}},
    {1259, K::Static, "strCropLeftInfo", nullptr, {14, 37, 44, 8}},
    {1263, K::Input, "strCropLeftInfo", nullptr, {60, 35, 44, 13}},
    {1261, K::Static, "strCropRightInfo", nullptr, {130, 37, 44, 8}},
    {1264, K::Input, "strCropRightInfo", nullptr, {176, 35, 44, 13}},
    {1260, K::Static, "strCropTopInfo", nullptr, {14, 54, 44, 8}},
    {1265, K::Input, "strCropTopInfo", nullptr, {60, 52, 44, 13}},
    {1262, K::Static, "strCropBottomInfo", nullptr, {130, 54, 44, 8}},
    {1266, K::Input, "strCropBottomInfo", nullptr, {176, 52, 44, 13}},
    {1267, K::GroupBox, "btnPadInfo", nullptr, {6, 76, 270, 86}},
    {1268, K::CheckBox, "btnEnablePadInfo", nullptr, {14, 89, 160, 10}},
    {1269, K::Static, "btnPadLeftInfo", nullptr, {14, 107, 44, 8}},
    {1273, K::Input, "btnPadLeftInfo", nullptr, {60, 105, 44, 13}},
    {1271, K::Static, "strPadRightInfo", nullptr, {130, 107, 44, 8}},
    {1274, K::Input, "strPadRightInfo", nullptr, {176, 105, 44, 13}},
    {1270, K::Static, "strPadTopInfo", nullptr, {14, 124, 44, 8}},
    {1275, K::Input, "strPadTopInfo", nullptr, {60, 122, 44, 13}},
    {1272, K::Static, "strPadBottomInfo", nullptr, {130, 124, 44, 8}},
    {1276, K::Input, "strPadBottomInfo", nullptr, {176, 122, 44, 13}},
    {1277, K::Static, "strPadColorInfo", nullptr, {14, 143, 44, 8}},
    {1278, K::Edit, "strPadColorInfo", nullptr, {60, 141, 60, 13}},
    {1279, K::ColorButton, "btnPadColorInfo", "btnPadColorTooltip", {130, 139, 90, 16}},
};

constexpr int kCropEdits[] = {1263, 1264, 1265, 1266};
constexpr int kPadEdits[] = {1273, 1274, 1275, 1276};

// Checks a button when the watched control takes the focus.
class CheckOnFocus : public QObject {
public:
    CheckOnFocus(QAbstractButton& button, QObject* parent) : QObject(parent), button_(button) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) button_.setChecked(true);
        return false;
    }

private:
    QAbstractButton& button_;
};

void Check(QButtonGroup* group, int index) {
    if (QAbstractButton* button = group->button(index)) {
        button->setChecked(true);
        return;
    }
    // A value outside the group's choices checks none, and is kept.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

int Checked(const QButtonGroup* group, int32_t unchanged) {
    const int id = group->checkedId();
    return id < 0 ? unchanged : id;
}

void FillList(QComboBox& list, std::span<const char* const> names) {
    for (const char* name : names) list.addItem(QString::fromUtf8(name));
}

// A text that reads as black or white on the colour.
QColor TextOn(const QColor& face) { return face.lightness() > 128 ? Qt::black : Qt::white; }

}  // namespace

// ---- the common page ----

OptionsPage::OptionsPage(const char* section, std::span<const DialogControl> rows, QWidget* parent) : QWidget(parent) {
    QVS_AddFilterHook(this);
    setFixedSize(DialogUnitsToPixels(*this, kPageUnits).size());
    table_ = std::make_unique<DialogTable>(*this, section, rows);
}

OptionsPage::~OptionsPage() = default;

QButtonGroup* OptionsPage::Group(std::initializer_list<int> ids) {
    auto* group = new QButtonGroup(this);
    int index = 0;
    for (int id : ids) group->addButton(Get<QRadioButton>(id), index++);
    return group;
}

void OptionsPage::FocusChecks(int edit, int button) {
    Widget(edit)->installEventFilter(new CheckOnFocus(*Get<QAbstractButton>(button), this));
}

void OptionsPage::EnableAllBut(int except, bool enabled) {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const int id = child->property("itemId").toInt();
        if (id != except) child->setEnabled(enabled);
    }
}

void OptionsPage::ColourLabels() {
    for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, kLabelText);
        label->setPalette(palette);
    }
}

std::optional<OptionRefusal> OptionsPage::ReadInteger(int id, OptionPage page, int32_t& field) const {
    if (const std::optional<int32_t> value = ReadIntegerText(Get<QLineEdit>(id)->text().toStdString())) {
        field = *value;
        return std::nullopt;
    }
    return OptionRefusal{page, id, "Please enter an integer."};
}

std::optional<OptionRefusal> OptionsPage::ReadFloat(int id, OptionPage page, float& field) const {
    const std::optional<double> value = ReadNumberText(Get<QLineEdit>(id)->text().toStdString());
    if (value && std::abs(*value) <= 3.4e38) {
        field = static_cast<float>(*value);
        return std::nullopt;
    }
    return OptionRefusal{page, id, "Please enter a number."};
}

void OptionsPage::SetEditText(int id, const std::string& text) const {
    Get<QLineEdit>(id)->setText(QString::fromStdString(text));
}

// The first refusal of several reads, each of which is made.
static void Keep(std::optional<OptionRefusal>& first, std::optional<OptionRefusal> next) {
    if (!first) first = std::move(next);
}

// ---- audio ----

AudioOptionsPage::AudioOptionsPage(QWidget* parent) : OptionsPage("OPTION_AUDIO_DLG", kAudioRows, parent) {
    ColourLabels();
    for (const char* text : {"Auto", "Single channel", "Double channel"}) Get<QComboBox>(1153)->addItem(text);
    FillList(*Get<QComboBox>(1155), AudioCodecNames());
    sampleRate_ = Group({1159, 1160});
    bitRate_ = Group({1224, 1225});
    Get<QSpinBox>(1231)->setRange(100, 600);
    FocusChecks(1221, 1160);
    FocusChecks(1226, 1225);
    FocusChecks(1231, 1229);
    connect(Get<QCheckBox>(1145), &QCheckBox::toggled, this, [this](bool off) { EnableAllBut(1145, !off); });
}

void AudioOptionsPage::Show(const ProfileSettings& p) {
    Get<QCheckBox>(1145)->setChecked(p.bDisableAudio != 0);
    Get<QComboBox>(1153)->setCurrentIndex(p.nAudioChannel >= 0 && p.nAudioChannel <= 2 ? p.nAudioChannel : -1);
    Get<QComboBox>(1155)->setCurrentIndex(CodecEntry(AudioCodecNames(), p.cAudioCodec));
    Check(sampleRate_, p.bAudioCustomSampleRate != 0);
    SetEditText(1221, IntegerText(p.nAudioCustomSampleRate));
    Check(bitRate_, p.bAudioCustomBitRate != 0);
    SetEditText(1226, FloatText(p.nAudioCustomBitRate));
    Get<QCheckBox>(1229)->setChecked(p.bAudioCustomVolume != 0);
    Get<QSpinBox>(1231)->setValue(p.nAudioVolume);
    EnableAllBut(1145, p.bDisableAudio == 0);
}

std::optional<OptionRefusal> AudioOptionsPage::Take(ProfileSettings& p) const {
    p.bDisableAudio = Get<QCheckBox>(1145)->isChecked();
    const int channel = Get<QComboBox>(1153)->currentIndex();
    if (channel >= 0) p.nAudioChannel = channel;
    p.cAudioCodec = Get<QComboBox>(1155)->currentText().toStdString();
    p.bAudioCustomSampleRate = Checked(sampleRate_, p.bAudioCustomSampleRate);
    p.bAudioCustomBitRate = Checked(bitRate_, p.bAudioCustomBitRate);
    p.bAudioCustomVolume = Get<QCheckBox>(1229)->isChecked();
    p.nAudioVolume = Get<QSpinBox>(1231)->value();
    std::optional<OptionRefusal> refusal = ReadInteger(1221, kAudioPage, p.nAudioCustomSampleRate);
    Keep(refusal, ReadFloat(1226, kAudioPage, p.nAudioCustomBitRate));
    return refusal;
}

// ---- video ----

VideoOptionsPage::VideoOptionsPage(QWidget* parent) : OptionsPage("OPTION_VIDEO_DLG", kVideoRows, parent) {
    ColourLabels();
    FillList(*Get<QComboBox>(1235), VideoCodecNames());
    frameRate_ = Group({1047, 1237});
    bitRate_ = Group({1241, 1244});
    FocusChecks(1238, 1237);
    FocusChecks(1250, 1244);
    connect(Get<QCheckBox>(1233), &QCheckBox::toggled, this, [this](bool off) { EnableAllBut(1233, !off); });
    connect(Get<QCheckBox>(1247), &QCheckBox::toggled, this, [this](bool advanced) {
        for (int id : {1248, 1249, 1146, 1149}) Widget(id)->setVisible(advanced);
    });
    for (int id : {1248, 1249, 1146, 1149}) Widget(id)->setVisible(false);
}

void VideoOptionsPage::Show(const ProfileSettings& p) {
    Get<QCheckBox>(1233)->setChecked(p.bDisableVideo != 0);
    Get<QComboBox>(1235)->setCurrentIndex(CodecEntry(VideoCodecNames(), p.cVideoCodec));
    Check(frameRate_, p.bVideoCustomFrameRate != 0);
    SetEditText(1238, FrameRateText(p.nVideoCustomFrameRate));
    Check(bitRate_, p.bVideoCustomBitRate != 0);
    ShowDefaultBitRate(p.nDefaultVideoBitRate);
    SetEditText(1250, IntegerText(p.nVideoCustomBitRate));
    Get<QCheckBox>(1246)->setChecked(p.bVideoHighQuality != 0);
    Get<QCheckBox>(1247)->setChecked(false);
    SetEditText(1249, FloatText(p.nVideoBitRateLevel));
    SetEditText(1146, FloatText(p.nVideoBitRateLevel2));
    SetEditText(1149, FloatText(p.nVideoBitRateLevel3));
    EnableAllBut(1233, p.bDisableVideo == 0);
}

std::optional<OptionRefusal> VideoOptionsPage::Take(ProfileSettings& p) const {
    p.bDisableVideo = Get<QCheckBox>(1233)->isChecked();
    p.cVideoCodec = Get<QComboBox>(1235)->currentText().toStdString();
    p.bVideoCustomFrameRate = Checked(frameRate_, p.bVideoCustomFrameRate);
    p.bVideoCustomBitRate = Checked(bitRate_, p.bVideoCustomBitRate);
    p.bVideoHighQuality = Get<QCheckBox>(1246)->isChecked();
    std::optional<OptionRefusal> refusal = ReadFloat(1238, kVideoPage, p.nVideoCustomFrameRate);
    Keep(refusal, ReadInteger(1250, kVideoPage, p.nVideoCustomBitRate));
    Keep(refusal, ReadFloat(1249, kVideoPage, p.nVideoBitRateLevel));
    Keep(refusal, ReadFloat(1146, kVideoPage, p.nVideoBitRateLevel2));
    Keep(refusal, ReadFloat(1149, kVideoPage, p.nVideoBitRateLevel3));
    return refusal;
}

void VideoOptionsPage::ShowDefaultBitRate(int kbits) { SetEditText(1242, IntegerText(kbits)); }

// ---- resize ----

ResizeOptionsPage::ResizeOptionsPage(QWidget* parent) : OptionsPage("OPTION_RESIZE_DLG", kResizeRows, parent) {
    size_ = new QButtonGroup(this);
    for (int index = 0; index < 12; ++index) size_->addButton(Get<QRadioButton>(kSizeItems[index]), index);
    aspect_ = Group({1254, 1255, 1256});
    FocusChecks(1085, 1158);
    FocusChecks(1087, 1158);
    Table().SetAfterRelabel([this] {
        for (const auto& [id, text] : kFixedTexts) {
            QWidget* widget = Widget(id);
            if (auto* button = dynamic_cast<QAbstractButton*>(widget)) button->setText(text);
            if (auto* label = dynamic_cast<QLabel*>(widget)) label->setText(text);
            widget->setAccessibleName(text);
        }
    });
    Table().Relabel();
}

void ResizeOptionsPage::Show(const ProfileSettings& p) {
    Check(size_, p.nVideoRiszeOption);
    SetEditText(1085, IntegerText(p.nVideoCustomSizeX));
    SetEditText(1087, IntegerText(p.nVideoCustomSizeY));
    Check(aspect_, p.nAspect);
}

std::optional<OptionRefusal> ResizeOptionsPage::Take(ProfileSettings& p) const {
    p.nVideoRiszeOption = Checked(size_, p.nVideoRiszeOption);
    p.nAspect = Checked(aspect_, p.nAspect);
    std::optional<OptionRefusal> refusal = ReadInteger(1085, kResizePage, p.nVideoCustomSizeX);
    Keep(refusal, ReadInteger(1087, kResizePage, p.nVideoCustomSizeY));
    return refusal;
}

// ---- crop and pad ----

CropPadOptionsPage::CropPadOptionsPage(QWidget* parent) : OptionsPage("OPTION_CROPPAD_DLG", kCropPadRows, parent) {
    ColourLabels();
    connect(Get<QCheckBox>(1258), &QCheckBox::toggled, this, &CropPadOptionsPage::FollowTicks);
    connect(Get<QCheckBox>(1268), &QCheckBox::toggled, this, &CropPadOptionsPage::FollowTicks);
    connect(Get<ColorButton>(1279), &QPushButton::clicked, this, &CropPadOptionsPage::ChooseColour);
    Get<ColorButton>(1279)->setAutoDefault(false);
}

void CropPadOptionsPage::Show(const ProfileSettings& p) {
    Get<QCheckBox>(1258)->setChecked(p.bVideoEnableCrop != 0);
    const int32_t crops[] = {p.nVideoCropLeft, p.nVideoCropRight, p.nVideoCropTop, p.nVideoCropBottom};
    const int32_t pads[] = {p.nVideoPadLeft, p.nVideoPadRight, p.nVideoPadTop, p.nVideoPadBottom};
    for (int i = 0; i < 4; ++i) {
        SetEditText(kCropEdits[i], IntegerText(crops[i]));
        SetEditText(kPadEdits[i], IntegerText(pads[i]));
    }
    Get<QCheckBox>(1268)->setChecked(p.bVideoEnablePad != 0);
    ShowColour(p.nVideoPadColor);
    FollowTicks();
}

std::optional<OptionRefusal> CropPadOptionsPage::Take(ProfileSettings& p) const {
    p.bVideoEnableCrop = Get<QCheckBox>(1258)->isChecked();
    p.bVideoEnablePad = Get<QCheckBox>(1268)->isChecked();
    p.nVideoPadColor = colour_;
    int32_t* crops[] = {&p.nVideoCropLeft, &p.nVideoCropRight, &p.nVideoCropTop, &p.nVideoCropBottom};
    int32_t* pads[] = {&p.nVideoPadLeft, &p.nVideoPadRight, &p.nVideoPadTop, &p.nVideoPadBottom};
    std::optional<OptionRefusal> refusal;
    for (int i = 0; i < 4; ++i) {
        Keep(refusal, ReadInteger(kCropEdits[i], kCropPadPage, *crops[i]));
        Keep(refusal, ReadInteger(kPadEdits[i], kCropPadPage, *pads[i]));
    }
    return refusal;
}

void CropPadOptionsPage::ChooseColour() {
    const Rgb now = PadColourToRgb(colour_);
    const QColor chosen = QColorDialog::getColor(QColor(now.red, now.green, now.blue), this);
    if (chosen.isValid()) ShowColour(PadColourFromRgb({chosen.red(), chosen.green(), chosen.blue()}));
}

void CropPadOptionsPage::ShowColour(int32_t colour) {
    colour_ = colour;
    SetEditText(1278, PadColourText(colour));
    const Rgb rgb = PadColourToRgb(colour);
    const QColor face(rgb.red, rgb.green, rgb.blue);
    auto* button = Get<ColorButton>(1279);
    for (int slot = 0; slot < ColorButton::kSlots; slot += 2) {
        button->SetColor(slot, face, false);
        button->SetColor(slot + 1, TextOn(face), false);
    }
    button->update();
}

void CropPadOptionsPage::FollowTicks() {
    const bool crop = Get<QCheckBox>(1258)->isChecked();
    const bool pad = Get<QCheckBox>(1268)->isChecked();
    for (int id : kCropEdits) Widget(id)->setEnabled(crop);
    for (int id : kPadEdits) Widget(id)->setEnabled(pad);
    Widget(1278)->setEnabled(pad);
    Widget(1279)->setEnabled(pad);
}

}  // namespace kinolux
