#include "options/option_voice_page.h"
#include "resources/resource.h"

COptionVoiceSoundPage::COptionVoiceSoundPage() : lex::CPropertyPage(IDD_OPTION_VOICE) {}
