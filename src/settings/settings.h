// Named access to every key of the settings file "Lexorin.ini". Each getter reads its
// key from the file at the moment it is called, with the key's own default and type;
// each setter writes one key at once. Nothing is cached, so a value written anywhere
// is what the next reader sees (ReadOnce makes a copy that reads the file once for
// many getters). Setters return false when the file could not be
// written (for example when it is read-only); the file is then left as it was.
//
// Colours are 0x00BBGGRR values; texts are code page 936 bytes.
//
// Several keys that belong together (the state saved at exit, a settings page's OK)
// are written as one replacement of the file through CSettingsGroup: while a group is
// open on a file, the setters of every CSettings object for that file path change the
// file's text in memory, the getters read that text, and Commit writes it once (the
// program's windows all run on one thread, which is the only one to use settings). The file
// ends byte for byte as the same setters called one by one would have left it, but a
// crash leaves either all of the group's keys or none.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace lex {

class CIniDocument;

class CSettings {
public:
    // The default dictionary, used when "DictName" is absent.
    static const char kDefaultDictName[];
    // What the dictionary page looks for in its list when "DictName" is absent: a
    // name no dictionary has, so that nothing is preselected.
    static const char kDictPagePreselectName[];

    explicit CSettings(std::string settingsPath) : m_path(std::move(settingsPath)) {}
    // The settings file's path: the program folder (with its trailing backslash)
    // followed by "Lexorin.ini".
    static std::string PathInFolder(const std::string& programFolder);

    const std::string& Path() const { return m_path; }

    // A copy whose getters all answer from one reading of the file, made now: for a
    // step that reads many keys at once (the main bar applies every group on each
    // resize step). An open group's keys still come first; setters write as usual,
    // but the copy's getters do not see what is written after it was made.
    CSettings ReadOnce() const;

    // Banner look. Flags and colours default to on and to red.
    uint32_t BannerBKColor() const;
    bool SetBannerBKColor(uint32_t color);
    bool BannerAutoSize() const;
    bool SetBannerAutoSize(bool on);
    bool BannerScroll() const;
    bool SetBannerScroll(bool on);
    // Seconds from one entry to the next (the page offers 1 to 5); default 2.
    int BannerScrollSpeed() const;
    bool SetBannerScrollSpeed(int seconds);
    // Scroll with half the ticks even on mains power (on battery the bar always does).
    // Off by default.
    bool BannerPowerSaving() const;
    bool SetBannerPowerSaving(bool on);
    bool BannerWordI() const;
    bool SetBannerWordI(bool on);
    bool BannerWordB() const;
    bool SetBannerWordB(bool on);
    bool BannerWordU() const;
    bool SetBannerWordU(bool on);
    bool BannerPhoneticI() const;
    bool SetBannerPhoneticI(bool on);
    bool BannerPhoneticB() const;
    bool SetBannerPhoneticB(bool on);
    bool BannerPhoneticU() const;
    bool SetBannerPhoneticU(bool on);
    bool BannerDescI() const;
    bool SetBannerDescI(bool on);
    bool BannerDescB() const;
    bool SetBannerDescB(bool on);
    bool BannerDescU() const;
    bool SetBannerDescU(bool on);
    uint32_t BannerWordColor() const;
    bool SetBannerWordColor(uint32_t color);
    uint32_t BannerPhoneticColor() const;
    bool SetBannerPhoneticColor(uint32_t color);
    uint32_t BannerDescColor() const;
    bool SetBannerDescColor(uint32_t color);

    // The chosen dictionary's name (file title without ".KM"); default kDefaultDictName.
    std::string DictName() const;
    // The same key with kDictPagePreselectName as default, for the dictionary page's
    // initial list selection.
    std::string DictNameForPreselection() const;
    bool SetDictName(const std::string& name);
    // Entries already taken from the dictionary; default 1.
    int DictWordCount() const;
    bool SetDictWordCount(int count);

    // Main bar placement in screen pixels; left and top default to 20. Width and
    // height are recorded at exit but never read back.
    int InterfaceLeft() const;
    bool SetInterfaceLeft(int x);
    int InterfaceTop() const;
    bool SetInterfaceTop(int y);
    bool SetInterfaceCX(int width);
    bool SetInterfaceCY(int height);
    // Background from a bitmap file (on) or a two-colour gradient (off); default on.
    bool InterfaceBKImage() const;
    bool SetInterfaceBKImage(bool on);
    // Full path of the background bitmap; default "2", which names no file.
    std::string InterfaceBKImageFileName() const;
    bool SetInterfaceBKImageFileName(const std::string& path);
    uint32_t InterfaceBKStartColor() const;
    bool SetInterfaceBKStartColor(uint32_t color);
    uint32_t InterfaceBKEndColor() const;
    bool SetInterfaceBKEndColor(uint32_t color);

    // Tip of the day: show at start-up (0 or 1, default 0), byte offset of the next
    // tip (default 0), and the tips file's time stamp text (default empty).
    int TipStartUp() const;
    bool SetTipStartUp(int show);
    int TipFilePos() const;
    bool SetTipFilePos(int offset);
    std::string TipTimeStamp() const;
    bool SetTipTimeStamp(const std::string& stamp);

    // Study options. Pause the strip while the pointer rests on it (default on);
    // mask each meaning until the pointer rests on its entry (default off); stop the
    // feed while the bar is hidden (default off: it keeps advancing).
    bool StudyHoverPause() const;
    bool SetStudyHoverPause(bool on);
    bool StudyRecallMode() const;
    bool SetStudyRecallMode(bool on);
    bool StudyPauseWhileHidden() const;
    bool SetStudyPauseWhileHidden(bool on);
    // System-wide key combinations, each as the hotkey control gives it: the virtual
    // key in the low byte, HOTKEYF_SHIFT (1) / CONTROL (2) / ALT (4) in the high byte;
    // 0 is none, and so is a stored value that is not such a word. The defaults are
    // Ctrl+Alt+Shift with L (show/hide), P (pause/play), K (known) and U (not known).
    uint16_t StudyHotkeyShowHide() const;
    bool SetStudyHotkeyShowHide(uint16_t hotkey);
    uint16_t StudyHotkeyPausePlay() const;
    bool SetStudyHotkeyPausePlay(uint16_t hotkey);
    uint16_t StudyHotkeyKnown() const;
    bool SetStudyHotkeyKnown(uint16_t hotkey);
    uint16_t StudyHotkeyUnknown() const;
    bool SetStudyHotkeyUnknown(uint16_t hotkey);
    // Speaks the newest entry's word (Ctrl+Alt+Shift+S); registered only while the
    // voice group's mode speaks.
    uint16_t StudyHotkeySpeak() const;
    bool SetStudyHotkeySpeak(uint16_t hotkey);
    // The combinations the user was last told could not be had (another program holds
    // them), as decimal hotkey words separated by blanks; default empty. The bar tells
    // of each one once, not at every start.
    std::string StudyHotkeysToldInUse() const;
    bool SetStudyHotkeysToldInUse(const std::string& words);
    // A due word comes back at most once every this many entries (default 5).
    int StudyReviewEvery() const;
    bool SetStudyReviewEvery(int entries);
    // The recall the review schedule aims for, in percent (default 90; the study
    // record keeps it within its bounds).
    int StudyRetention() const;
    bool SetStudyRetention(int percent);

    // Speech. How words are spoken: kVoiceOff (the default: never), kVoiceManual (from
    // the bar's menu and the hotkey), kVoiceAuto (each new entry as it is shown as
    // well); a value outside them reads as off. The chosen voice as its token id (empty:
    // the system's default voice) and the rate, -10 (slowest) to 10, default 0; a rate
    // outside that range is brought back inside it.
    enum VoiceMode : int { kVoiceOff = 0, kVoiceManual = 1, kVoiceAuto = 2 };
    VoiceMode VoiceSpeakMode() const;
    bool SetVoiceSpeakMode(VoiceMode mode);
    std::string VoiceTokenId() const;
    bool SetVoiceTokenId(const std::string& id);
    static constexpr int kMinVoiceRate = -10;
    static constexpr int kMaxVoiceRate = 10;
    int VoiceRate() const;
    bool SetVoiceRate(int rate);

    // True when the file holds at least one of the keys above.
    bool HasAnyKnownKey() const;
    // A file that is missing, empty or holds none of the keys above gets the look a
    // new user starts with (the shipped first-run settings, built into the program),
    // written as one replacement; the file's other lines are kept. Returns true when
    // it wrote them. A file with any known key is left alone.
    bool WriteFirstRunLookIfNew();

private:
    bool ReadFlag(const char* section, const char* key, bool defaultOn) const;
    uint32_t ReadColor(const char* section, const char* key, uint32_t defaultColor) const;
    int ReadInt(const char* section, const char* key, int defaultValue) const;
    std::string ReadText(const char* section, const char* key, const std::string& defaultText) const;
    uint16_t ReadHotkey(const char* section, const char* key, uint16_t defaultHotkey) const;
    bool WriteFlag(const char* section, const char* key, bool on);
    bool WriteColor(const char* section, const char* key, uint32_t color);
    bool WriteInt(const char* section, const char* key, int value);
    bool WriteText(const char* section, const char* key, const std::string& text);

    std::string Read(const char* section, const char* key, const std::string& defaultText) const;
    bool Write(const char* section, const char* key, const std::string& text);

    std::string m_path;
    std::shared_ptr<const CIniDocument> m_readOnce;
};

// Opens a group on a settings file for its lifetime:
//
//     lex::CSettings settings = AppSettings();
//     {
//         lex::CSettingsGroup group(settings);
//         settings.SetInterfaceLeft(x);
//         settings.SetInterfaceTop(y);
//         group.Commit();  // or let the destructor commit
//     }
//
// Setters called during the group return false only for what the file could never
// take (an unreadable file, a value holding a line break); whether the file was
// written is Commit's answer. A group with no writes leaves the file untouched.
// Groups do not nest: a second group on the same file joins the first, and only the
// outermost commits.
class CSettingsGroup {
public:
    explicit CSettingsGroup(const CSettings& settings);
    ~CSettingsGroup();
    CSettingsGroup(const CSettingsGroup&) = delete;
    CSettingsGroup& operator=(const CSettingsGroup&) = delete;

    // Writes the collected keys as one atomic replacement of the file and closes the
    // group (later setters write key by key again). False when the file could not be
    // written; it is then left as it was.
    bool Commit();

private:
    std::string m_path;
    bool m_owner;
};

} // namespace lex
