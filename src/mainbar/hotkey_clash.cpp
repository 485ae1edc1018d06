#include "mainbar/hotkey_clash.h"

HotkeyClashReport ReportHotkeyClashes(const std::vector<HotkeyAttempt>& attempts, const std::string& toldBefore)
{
    HotkeyClashReport report;
    const std::string before = " " + toldBefore + " ";
    for (size_t i = 0; i < attempts.size(); ++i) {
        const HotkeyAttempt& attempt = attempts[i];
        if ((attempt.hotkey & 0xFF) == 0 || attempt.registered)
            continue;
        const std::string word = std::to_string(attempt.hotkey);
        report.told += (report.told.empty() ? "" : " ") + word;
        if (before.find(" " + word + " ") != std::string::npos)
            continue; // the user knows already
        std::string line = "    " + attempt.keyText + "（" + attempt.action + "）";
        // The same combination for two actions: the second one can never be had.
        for (size_t j = 0; j < i; ++j) {
            if (attempts[j].hotkey == attempt.hotkey) {
                line += "：与“" + attempts[j].action + "”相同";
                break;
            }
        }
        report.lines += line + "\r\n";
    }
    return report;
}

std::string HotkeysInUseMessage(const std::string& lines)
{
    return "下面的快捷键已被其他程序占用，本程序无法使用：\r\n\r\n" + lines +
           "\r\n其余快捷键照常可用。可以在“设置...”里“学习设置”下的“复习”页换一个组合，"
           "或关闭占用它的程序后重新启动本程序。\r\n同一个组合只提示这一次。";
}
