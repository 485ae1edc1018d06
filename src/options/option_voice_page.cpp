#include "options/option_voice_page.h"
#include "base/text.h"
#include "resources/resource.h"

#include <commctrl.h>

const char COptionVoiceSoundPage::kSampleWord[] = "vocabulary";
const char COptionVoiceSoundPage::kNoVoiceLine[] = "没有能发音的语音，无法朗读（可在 Windows 的“语音”设置中添加）";

namespace {

struct ModeButton {
    int id;
    lex::CSettings::VoiceMode mode;
};
constexpr ModeButton kModeButtons[] = {
    {IDC_VOICE_OFF, lex::CSettings::kVoiceOff},
    {IDC_VOICE_MANUAL, lex::CSettings::kVoiceManual},
    {IDC_VOICE_AUTO, lex::CSettings::kVoiceAuto},
};

} // namespace

COptionVoiceSoundPage::COptionVoiceSoundPage(const COptionContext& context)
    : lex::CPropertyPage(IDD_OPTION_VOICE), m_context(context)
{
}

COptionVoiceSoundPage::~COptionVoiceSoundPage() = default;

BOOL COptionVoiceSoundPage::OnInitDialog()
{
    lex::CPropertyPage::OnInitDialog();
    const lex::CSettings settings = lex::CSettings(m_context.settingsPath).ReadOnce();
    m_startMode = settings.VoiceSpeakMode();
    for (const ModeButton& button : kModeButtons)
        CheckDlgButton(m_hWnd, button.id, button.mode == m_startMode ? BST_CHECKED : BST_UNCHECKED);

    std::string defaultId;
    for (const lex::SpeechVoiceInfo& voice : lex::CSpeechVoice::InstalledVoices(&defaultId))
        m_voices.push_back({voice.id, voice.name.empty() ? voice.id : voice.name, voice.language});
    m_voices = OrderVoices(std::move(m_voices));
    // Nothing listed (or nothing the system would name): its default voice all the same.
    if (m_voices.empty())
        m_voices.push_back({std::string(), "系统默认语音", std::string()});
    for (const VoiceChoice& voice : m_voices)
        SendDlgItemMessageW(m_hWnd, IDC_VOICE_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(lex::Widen(voice.name).c_str()));
    m_startVoice = ChosenVoice(m_voices, settings.VoiceTokenId(), defaultId);
    SendDlgItemMessageW(m_hWnd, IDC_VOICE_LIST, CB_SETCURSEL, static_cast<WPARAM>(m_startVoice), 0);

    m_startRate = settings.VoiceRate();
    SendDlgItemMessageW(m_hWnd, IDC_VOICE_RATE, TBM_SETRANGEMIN, FALSE, lex::CSettings::kMinVoiceRate);
    SendDlgItemMessageW(m_hWnd, IDC_VOICE_RATE, TBM_SETRANGEMAX, FALSE, lex::CSettings::kMaxVoiceRate);
    SendDlgItemMessageW(m_hWnd, IDC_VOICE_RATE, TBM_SETTICFREQ, 5, 0);
    SendDlgItemMessageW(m_hWnd, IDC_VOICE_RATE, TBM_SETPOS, TRUE, m_startRate);

    // Whether the system speaks at all: its voice object, asked to fall silent.
    m_voice = std::make_unique<lex::CSpeechVoice>();
    if (!m_voice->Create() || FAILED(m_voice->Silence()))
        ShowNoVoice();
    else
        UseShownVoice();
    return TRUE;
}

void COptionVoiceSoundPage::ShowNoVoice()
{
    m_voice.reset();
    SetDlgItemTextW(m_hWnd, IDC_VOICE_CURRENT, L"");
    SetDlgItemTextW(m_hWnd, IDC_VOICE_STATUS, lex::Widen(kNoVoiceLine).c_str());
    for (int id : {IDC_VOICE_LIST, IDC_VOICE_RATE, IDC_VOICE_LISTEN})
        EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
}

lex::CSettings::VoiceMode COptionVoiceSoundPage::ModeShown() const
{
    for (const ModeButton& button : kModeButtons)
        if (IsDlgButtonChecked(m_hWnd, button.id) == BST_CHECKED)
            return button.mode;
    return m_startMode;
}

int COptionVoiceSoundPage::VoiceShown() const
{
    const auto index = static_cast<int>(SendDlgItemMessageW(m_hWnd, IDC_VOICE_LIST, CB_GETCURSEL, 0, 0));
    return index >= 0 && index < static_cast<int>(m_voices.size()) ? index : m_startVoice;
}

int COptionVoiceSoundPage::RateShown() const
{
    return static_cast<int>(SendDlgItemMessageW(m_hWnd, IDC_VOICE_RATE, TBM_GETPOS, 0, 0));
}

void COptionVoiceSoundPage::UseShownVoice()
{
    if (!m_voice)
        return;
    const VoiceChoice& shown = m_voices[static_cast<size_t>(VoiceShown())];
    const bool found = m_voice->UseVoice(shown.id);
    m_voice->SetRate(RateShown());
    std::string name = m_voice->CurrentVoiceName();
    if (name.empty())
        name = found ? shown.name : "系统默认语音";
    SetDlgItemTextW(m_hWnd, IDC_VOICE_CURRENT, lex::Widen("正在使用：" + name).c_str());
}

void COptionVoiceSoundPage::OnListen()
{
    UseShownVoice();
    if (m_voice && FAILED(m_voice->Speak(kSampleWord)))
        ShowNoVoice();
}

BOOL COptionVoiceSoundPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (lex::CommandId(wParam, lParam)) {
    case IDC_VOICE_LIST:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            UseShownVoice();
        return TRUE;
    case IDC_VOICE_LISTEN:
        OnListen();
        return TRUE;
    default:
        break;
    }
    return lex::CPropertyPage::OnCommand(wParam, lParam);
}

void COptionVoiceSoundPage::OnOK()
{
    lex::CSettings settings(m_context.settingsPath);
    // The changed keys go to the file as one replacement.
    lex::CSettingsGroup group(settings);
    const lex::CSettings::VoiceMode mode = ModeShown();
    if (mode != m_startMode) {
        settings.SetVoiceSpeakMode(mode);
        RaiseOptionFlag(m_context.voiceChanged);
    }
    const int voice = VoiceShown();
    if (voice != m_startVoice) {
        settings.SetVoiceTokenId(m_voices[static_cast<size_t>(voice)].id);
        RaiseOptionFlag(m_context.voiceChanged);
    }
    const int rate = RateShown();
    if (rate != m_startRate) {
        settings.SetVoiceRate(rate);
        RaiseOptionFlag(m_context.voiceChanged);
    }
    group.Commit();
    lex::CPropertyPage::OnOK();
}
