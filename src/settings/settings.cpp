#include "settings/settings.h"

#include "base/program_folder.h"
#include "settings/ini_file.h"
#include "settings/value_conv.h"

#include <memory>
#include <vector>

namespace lex {

namespace {
constexpr char kBanner[] = "Banner";
constexpr char kDict[] = "Dict";
constexpr char kInterface[] = "Interface";
constexpr char kTip[] = "Tip";
constexpr char kStudy[] = "Study";
constexpr char kVoice[] = "Voice";

// Ctrl+Alt+Shift in a hotkey word's high byte.
constexpr uint16_t kCtrlAltShift = 0x0700;

// The colour readers' default text "000000ff": pure red.
constexpr uint32_t kRed = 0x000000FF;

struct KeyName {
    const char* section;
    const char* key;
};

// Every key the program reads or writes.
constexpr KeyName kKnownKeys[] = {
    {kBanner, "BannerBKColor"}, {kBanner, "BannerAutoSize"}, {kBanner, "BannerScroll"},
    {kBanner, "BannerScrollSpeed"}, {kBanner, "BannerWordI"}, {kBanner, "BannerWordB"},
    {kBanner, "BannerWordU"}, {kBanner, "BannerPhoneticI"}, {kBanner, "BannerPhoneticB"},
    {kBanner, "BannerPhoneticU"}, {kBanner, "BannerDescI"}, {kBanner, "BannerDescB"},
    {kBanner, "BannerDescU"}, {kBanner, "BannerWordColor"}, {kBanner, "BannerPhoneticColor"},
    {kBanner, "BannerDescColor"}, {kBanner, "BannerPowerSaving"}, {kDict, "DictName"}, {kDict, "DictWordCount"},
    {kInterface, "InterfaceLeft"}, {kInterface, "InterfaceTop"}, {kInterface, "InterfaceCX"},
    {kInterface, "InterfaceCY"}, {kInterface, "InterfaceBKImage"}, {kInterface, "InterfaceBKImageFileName"},
    {kInterface, "InterfaceBKStartColor"}, {kInterface, "InterfaceBKEndColor"}, {kTip, "StartUp"},
    {kTip, "FilePos"}, {kTip, "TimeStamp"}, {kStudy, "HoverPause"}, {kStudy, "RecallMode"},
    {kStudy, "PauseWhileHidden"}, {kStudy, "HotkeyShowHide"}, {kStudy, "HotkeyPausePlay"},
    {kStudy, "HotkeyKnown"}, {kStudy, "HotkeyUnknown"}, {kStudy, "ReviewEvery"},
    {kStudy, "HotkeysToldInUse"}, {kStudy, "HotkeySpeak"}, {kStudy, "Retention"}, {kVoice, "Mode"},
    {kVoice, "Token"}, {kVoice, "Rate"},
};

struct KeyValue {
    const char* section;
    const char* key;
    const char* value;
};

// The shipped first-run settings file, entry by entry.
constexpr KeyValue kFirstRunLook[] = {
#include "first_run_look.inc"
};

} // namespace

const char CSettings::kDefaultDictName[] = "缺省字典";
const char CSettings::kDictPagePreselectName[] = "我的缺省值";

std::string CSettings::PathInFolder(const std::string& programFolder)
{
    return programFolder + kSettingsFileName;
}

uint32_t CSettings::BannerBKColor() const { return ReadColor(kBanner, "BannerBKColor", kRed); }
bool CSettings::SetBannerBKColor(uint32_t color) { return WriteColor(kBanner, "BannerBKColor", color); }
bool CSettings::BannerAutoSize() const { return ReadFlag(kBanner, "BannerAutoSize", true); }
bool CSettings::SetBannerAutoSize(bool on) { return WriteFlag(kBanner, "BannerAutoSize", on); }
bool CSettings::BannerScroll() const { return ReadFlag(kBanner, "BannerScroll", true); }
bool CSettings::SetBannerScroll(bool on) { return WriteFlag(kBanner, "BannerScroll", on); }
int CSettings::BannerScrollSpeed() const { return ReadInt(kBanner, "BannerScrollSpeed", 2); }
bool CSettings::SetBannerScrollSpeed(int seconds) { return WriteInt(kBanner, "BannerScrollSpeed", seconds); }
bool CSettings::BannerPowerSaving() const { return ReadFlag(kBanner, "BannerPowerSaving", false); }
bool CSettings::SetBannerPowerSaving(bool on) { return WriteFlag(kBanner, "BannerPowerSaving", on); }
bool CSettings::BannerWordI() const { return ReadFlag(kBanner, "BannerWordI", true); }
bool CSettings::SetBannerWordI(bool on) { return WriteFlag(kBanner, "BannerWordI", on); }
bool CSettings::BannerWordB() const { return ReadFlag(kBanner, "BannerWordB", true); }
bool CSettings::SetBannerWordB(bool on) { return WriteFlag(kBanner, "BannerWordB", on); }
bool CSettings::BannerWordU() const { return ReadFlag(kBanner, "BannerWordU", true); }
bool CSettings::SetBannerWordU(bool on) { return WriteFlag(kBanner, "BannerWordU", on); }
bool CSettings::BannerPhoneticI() const { return ReadFlag(kBanner, "BannerPhoneticI", true); }
bool CSettings::SetBannerPhoneticI(bool on) { return WriteFlag(kBanner, "BannerPhoneticI", on); }
bool CSettings::BannerPhoneticB() const { return ReadFlag(kBanner, "BannerPhoneticB", true); }
bool CSettings::SetBannerPhoneticB(bool on) { return WriteFlag(kBanner, "BannerPhoneticB", on); }
bool CSettings::BannerPhoneticU() const { return ReadFlag(kBanner, "BannerPhoneticU", true); }
bool CSettings::SetBannerPhoneticU(bool on) { return WriteFlag(kBanner, "BannerPhoneticU", on); }
bool CSettings::BannerDescI() const { return ReadFlag(kBanner, "BannerDescI", true); }
bool CSettings::SetBannerDescI(bool on) { return WriteFlag(kBanner, "BannerDescI", on); }
bool CSettings::BannerDescB() const { return ReadFlag(kBanner, "BannerDescB", true); }
bool CSettings::SetBannerDescB(bool on) { return WriteFlag(kBanner, "BannerDescB", on); }
bool CSettings::BannerDescU() const { return ReadFlag(kBanner, "BannerDescU", true); }
bool CSettings::SetBannerDescU(bool on) { return WriteFlag(kBanner, "BannerDescU", on); }
uint32_t CSettings::BannerWordColor() const { return ReadColor(kBanner, "BannerWordColor", kRed); }
bool CSettings::SetBannerWordColor(uint32_t color) { return WriteColor(kBanner, "BannerWordColor", color); }
uint32_t CSettings::BannerPhoneticColor() const { return ReadColor(kBanner, "BannerPhoneticColor", kRed); }
bool CSettings::SetBannerPhoneticColor(uint32_t color) { return WriteColor(kBanner, "BannerPhoneticColor", color); }
uint32_t CSettings::BannerDescColor() const { return ReadColor(kBanner, "BannerDescColor", kRed); }
bool CSettings::SetBannerDescColor(uint32_t color) { return WriteColor(kBanner, "BannerDescColor", color); }

std::string CSettings::DictName() const { return ReadText(kDict, "DictName", kDefaultDictName); }
std::string CSettings::DictNameForPreselection() const { return ReadText(kDict, "DictName", kDictPagePreselectName); }
bool CSettings::SetDictName(const std::string& name) { return WriteText(kDict, "DictName", name); }
int CSettings::DictWordCount() const { return ReadInt(kDict, "DictWordCount", 1); }
bool CSettings::SetDictWordCount(int count) { return WriteInt(kDict, "DictWordCount", count); }

int CSettings::InterfaceLeft() const { return ReadInt(kInterface, "InterfaceLeft", 20); }
bool CSettings::SetInterfaceLeft(int x) { return WriteInt(kInterface, "InterfaceLeft", x); }
int CSettings::InterfaceTop() const { return ReadInt(kInterface, "InterfaceTop", 20); }
bool CSettings::SetInterfaceTop(int y) { return WriteInt(kInterface, "InterfaceTop", y); }
bool CSettings::SetInterfaceCX(int width) { return WriteInt(kInterface, "InterfaceCX", width); }
bool CSettings::SetInterfaceCY(int height) { return WriteInt(kInterface, "InterfaceCY", height); }
bool CSettings::InterfaceBKImage() const { return ReadFlag(kInterface, "InterfaceBKImage", true); }
bool CSettings::SetInterfaceBKImage(bool on) { return WriteFlag(kInterface, "InterfaceBKImage", on); }
std::string CSettings::InterfaceBKImageFileName() const { return ReadText(kInterface, "InterfaceBKImageFileName", "2"); }
bool CSettings::SetInterfaceBKImageFileName(const std::string& path) { return WriteText(kInterface, "InterfaceBKImageFileName", path); }
uint32_t CSettings::InterfaceBKStartColor() const { return ReadColor(kInterface, "InterfaceBKStartColor", kRed); }
bool CSettings::SetInterfaceBKStartColor(uint32_t color) { return WriteColor(kInterface, "InterfaceBKStartColor", color); }
uint32_t CSettings::InterfaceBKEndColor() const { return ReadColor(kInterface, "InterfaceBKEndColor", kRed); }
bool CSettings::SetInterfaceBKEndColor(uint32_t color) { return WriteColor(kInterface, "InterfaceBKEndColor", color); }

int CSettings::TipStartUp() const { return ReadInt(kTip, "StartUp", 0); }
bool CSettings::SetTipStartUp(int show) { return WriteInt(kTip, "StartUp", show); }
int CSettings::TipFilePos() const { return ReadInt(kTip, "FilePos", 0); }
bool CSettings::SetTipFilePos(int offset) { return WriteInt(kTip, "FilePos", offset); }
std::string CSettings::TipTimeStamp() const { return ReadText(kTip, "TimeStamp", ""); }
bool CSettings::SetTipTimeStamp(const std::string& stamp) { return WriteText(kTip, "TimeStamp", stamp); }

bool CSettings::StudyHoverPause() const { return ReadFlag(kStudy, "HoverPause", true); }
bool CSettings::SetStudyHoverPause(bool on) { return WriteFlag(kStudy, "HoverPause", on); }
bool CSettings::StudyRecallMode() const { return ReadFlag(kStudy, "RecallMode", false); }
bool CSettings::SetStudyRecallMode(bool on) { return WriteFlag(kStudy, "RecallMode", on); }
bool CSettings::StudyPauseWhileHidden() const { return ReadFlag(kStudy, "PauseWhileHidden", false); }
bool CSettings::SetStudyPauseWhileHidden(bool on) { return WriteFlag(kStudy, "PauseWhileHidden", on); }
uint16_t CSettings::StudyHotkeyShowHide() const { return ReadHotkey(kStudy, "HotkeyShowHide", kCtrlAltShift | 'L'); }
bool CSettings::SetStudyHotkeyShowHide(uint16_t hotkey) { return WriteInt(kStudy, "HotkeyShowHide", hotkey); }
uint16_t CSettings::StudyHotkeyPausePlay() const { return ReadHotkey(kStudy, "HotkeyPausePlay", kCtrlAltShift | 'P'); }
bool CSettings::SetStudyHotkeyPausePlay(uint16_t hotkey) { return WriteInt(kStudy, "HotkeyPausePlay", hotkey); }
uint16_t CSettings::StudyHotkeyKnown() const { return ReadHotkey(kStudy, "HotkeyKnown", kCtrlAltShift | 'K'); }
bool CSettings::SetStudyHotkeyKnown(uint16_t hotkey) { return WriteInt(kStudy, "HotkeyKnown", hotkey); }
uint16_t CSettings::StudyHotkeyUnknown() const { return ReadHotkey(kStudy, "HotkeyUnknown", kCtrlAltShift | 'U'); }
bool CSettings::SetStudyHotkeyUnknown(uint16_t hotkey) { return WriteInt(kStudy, "HotkeyUnknown", hotkey); }
uint16_t CSettings::StudyHotkeySpeak() const { return ReadHotkey(kStudy, "HotkeySpeak", kCtrlAltShift | 'S'); }
bool CSettings::SetStudyHotkeySpeak(uint16_t hotkey) { return WriteInt(kStudy, "HotkeySpeak", hotkey); }
std::string CSettings::StudyHotkeysToldInUse() const { return ReadText(kStudy, "HotkeysToldInUse", ""); }
bool CSettings::SetStudyHotkeysToldInUse(const std::string& words) { return WriteText(kStudy, "HotkeysToldInUse", words); }
int CSettings::StudyReviewEvery() const { return ReadInt(kStudy, "ReviewEvery", 5); }
bool CSettings::SetStudyReviewEvery(int entries) { return WriteInt(kStudy, "ReviewEvery", entries); }
int CSettings::StudyRetention() const { return ReadInt(kStudy, "Retention", 90); }
bool CSettings::SetStudyRetention(int percent) { return WriteInt(kStudy, "Retention", percent); }

CSettings::VoiceMode CSettings::VoiceSpeakMode() const
{
    const int mode = ReadInt(kVoice, "Mode", kVoiceOff);
    return mode == kVoiceManual || mode == kVoiceAuto ? static_cast<VoiceMode>(mode) : kVoiceOff;
}
bool CSettings::SetVoiceSpeakMode(VoiceMode mode) { return WriteInt(kVoice, "Mode", mode); }
std::string CSettings::VoiceTokenId() const { return ReadText(kVoice, "Token", ""); }
bool CSettings::SetVoiceTokenId(const std::string& id) { return WriteText(kVoice, "Token", id); }
int CSettings::VoiceRate() const
{
    const int rate = ReadInt(kVoice, "Rate", 0);
    return rate < kMinVoiceRate ? kMinVoiceRate : (rate > kMaxVoiceRate ? kMaxVoiceRate : rate);
}
bool CSettings::SetVoiceRate(int rate) { return WriteInt(kVoice, "Rate", rate); }

namespace {

// An open group: the file's text in memory and whether a setter changed it.
struct OpenGroup {
    std::string path;
    CIniDocument doc;
    bool loaded = false; // false: the file exists but could not be read
    bool dirty = false;
};

std::vector<std::unique_ptr<OpenGroup>>& OpenGroups()
{
    static std::vector<std::unique_ptr<OpenGroup>> groups;
    return groups;
}

OpenGroup* FindGroup(const std::string& path)
{
    for (const auto& group : OpenGroups()) {
        if (group->path == path)
            return group.get();
    }
    return nullptr;
}

} // namespace

CSettingsGroup::CSettingsGroup(const CSettings& settings) : m_path(settings.Path()), m_owner(!FindGroup(m_path))
{
    if (!m_owner)
        return;
    auto group = std::make_unique<OpenGroup>();
    group->path = m_path;
    group->loaded = group->doc.Load(m_path);
    OpenGroups().push_back(std::move(group));
}

CSettingsGroup::~CSettingsGroup()
{
    Commit();
}

bool CSettingsGroup::Commit()
{
    if (!m_owner)
        return true;
    m_owner = false;
    auto& groups = OpenGroups();
    for (auto it = groups.begin(); it != groups.end(); ++it) {
        if ((*it)->path != m_path)
            continue;
        std::unique_ptr<OpenGroup> group = std::move(*it);
        groups.erase(it);
        if (!group->dirty)
            return true;
        return group->loaded && group->doc.Save(m_path);
    }
    return true;
}

CSettings CSettings::ReadOnce() const
{
    auto doc = std::make_shared<CIniDocument>();
    doc->Load(m_path);
    CSettings copy(m_path);
    copy.m_readOnce = std::move(doc);
    return copy;
}

std::string CSettings::Read(const char* section, const char* key, const std::string& defaultText) const
{
    if (const OpenGroup* group = FindGroup(m_path))
        return group->doc.Get(section, key, defaultText);
    if (m_readOnce)
        return m_readOnce->Get(section, key, defaultText);
    return GetProfileString(section, key, defaultText, m_path);
}

bool CSettings::Write(const char* section, const char* key, const std::string& text)
{
    OpenGroup* group = FindGroup(m_path);
    if (!group)
        return WriteProfileString(section, key, text, m_path);
    if (!group->loaded || !group->doc.Set(section, key, text))
        return false;
    group->dirty = true;
    return true;
}

bool CSettings::HasAnyKnownKey() const
{
    CIniDocument doc;
    if (const OpenGroup* group = FindGroup(m_path))
        doc = group->doc;
    else
        doc.Load(m_path);
    for (const KeyName& name : kKnownKeys) {
        if (doc.Has(name.section, name.key))
            return true;
    }
    return false;
}

bool CSettings::WriteFirstRunLookIfNew()
{
    CIniDocument doc;
    // An unreadable file is not new: it may hold the user's settings.
    if (!doc.Load(m_path) || HasAnyKnownKey())
        return false;
    CSettingsGroup group(*this);
    for (const KeyValue& entry : kFirstRunLook)
        Write(entry.section, entry.key, entry.value);
    return group.Commit();
}

// Flags and colours are read as text with the default in its stored form, then
// converted, so a stored value and a default go through the same conversion.
bool CSettings::ReadFlag(const char* section, const char* key, bool defaultOn) const
{
    return ParseFlag(Read(section, key, FormatFlag(defaultOn)));
}

uint32_t CSettings::ReadColor(const char* section, const char* key, uint32_t defaultColor) const
{
    return ParseColor(Read(section, key, FormatColor(defaultColor)));
}

int CSettings::ReadInt(const char* section, const char* key, int defaultValue) const
{
    const std::string text = Read(section, key, std::string());
    return text.empty() ? defaultValue : ParseDecimal(text);
}

uint16_t CSettings::ReadHotkey(const char* section, const char* key, uint16_t defaultHotkey) const
{
    const int value = ReadInt(section, key, defaultHotkey);
    return value >= 0 && value <= 0xFFFF ? static_cast<uint16_t>(value) : 0;
}

std::string CSettings::ReadText(const char* section, const char* key, const std::string& defaultText) const
{
    return Read(section, key, defaultText);
}

bool CSettings::WriteFlag(const char* section, const char* key, bool on)
{
    return Write(section, key, FormatFlag(on));
}

bool CSettings::WriteColor(const char* section, const char* key, uint32_t color)
{
    return Write(section, key, FormatColor(color));
}

bool CSettings::WriteInt(const char* section, const char* key, int value)
{
    return Write(section, key, FormatDecimal(value));
}

bool CSettings::WriteText(const char* section, const char* key, const std::string& text)
{
    return Write(section, key, text);
}

} // namespace lex
