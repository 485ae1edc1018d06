// COptionVoiceSoundPage, "语音设置::声音": a choice between manual and automatic
// pronunciation that nothing reads yet. It shows its template with neither button
// chosen and stores nothing.
#pragma once

#include "framework/propsheet.h"

class COptionVoiceSoundPage : public lex::CPropertyPage {
public:
    COptionVoiceSoundPage();
};
