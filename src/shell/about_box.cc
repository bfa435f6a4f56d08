#include "shell/about_box.h"

#include "shell/platform.h"
#include "shell/web_links.h"

namespace tarnwick {

void frmAbout::cmdOK_Click() { desktop_.CloseAboutBox(); }

void frmAbout::Label2_Click() { OpenURL(desktop_, "open", kIndexPageUrl, kSwShowNormal); }

void frmAbout::Label3_Click() { OpenURL(desktop_, "open", kDonationPageUrl, kSwShowNormal); }

}  // namespace tarnwick
