// Who runs the installer and with which rights. The two answers travel to the
// product's installer and uninstaller as "-adminact=" and "-authorizationact=";
// they describe the situation and change nothing about how a child is started.
#pragma once

#include <string>

namespace Utils {

// The installer runs with administrator rights: its effective uid is 0.
bool IsRunAsAdmin();

// The user of the desktop session: $SUDO_USER, else the account of
// $PKEXEC_UID, else the login name (the real uid's account when there is no
// login). False, with the name left empty, when none can be had.
bool GetConsoleUserName(std::wstring& name);

// The account is an administrator: uid 0, or a member (primary or
// supplementary) of the group "sudo", "wheel" or "admin". False for an
// unknown account.
bool IsAdminAccount(const std::wstring& name);

}  // namespace Utils
