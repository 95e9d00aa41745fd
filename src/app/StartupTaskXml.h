// The Task Scheduler definition of Ventiq's start with Windows, built as text.
#pragma once
#include <string>

// A whole task: at userId's sign-in, after 10 seconds, exePath runs with /tray in its own folder at
// the highest run level the user has (no elevation prompt), with no time limit and whatever the
// power source.
std::wstring StartupTaskXml(const std::wstring& exePath, const std::wstring& userId);
