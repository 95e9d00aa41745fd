// The Task Scheduler definition of Ventiq's start with Windows, built as text.
#include "app/StartupTaskXml.h"

namespace {
// Folder and user names may hold '&' and apostrophes; every character XML reserves is escaped.
const struct {
    wchar_t m_cReserved;
    const wchar_t* m_szEntity;
} kEntities[] = {{L'&', L"&amp;"}, {L'<', L"&lt;"}, {L'>', L"&gt;"}, {L'"', L"&quot;"}, {L'\'', L"&apos;"}};

std::wstring XmlEscaped(const std::wstring& text) {
    std::wstring escaped;
    for (const wchar_t c : text) {
        const wchar_t* entity = nullptr;
        for (const auto& reserved : kEntities) {
            entity = reserved.m_cReserved == c ? reserved.m_szEntity : entity;
        }
        if (entity != nullptr) {
            escaped += entity;
        } else {
            escaped += c;
        }
    }
    return escaped;
}
} // namespace

std::wstring StartupTaskXml(const std::wstring& exePath, const std::wstring& userId) {
    const std::wstring user = XmlEscaped(userId);
    std::wstring xml =
        L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
        L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
        L"  <RegistrationInfo>\r\n"
        L"    <Description>Starts Ventiq in the notification area at sign-in.</Description>\r\n"
        L"  </RegistrationInfo>\r\n"
        L"  <Triggers>\r\n"
        L"    <LogonTrigger>\r\n"
        L"      <UserId>";
    xml += user;
    xml += L"</UserId>\r\n"
           L"      <Delay>PT10S</Delay>\r\n"
           L"    </LogonTrigger>\r\n"
           L"  </Triggers>\r\n"
           L"  <Principals>\r\n"
           L"    <Principal id=\"Author\">\r\n"
           L"      <UserId>";
    xml += user;
    // Task Scheduler starts its programs below normal priority (7); Ventiq, and the guardian it
    // starts, run as when the user starts them (4).
    xml += L"</UserId>\r\n"
           L"      <LogonType>InteractiveToken</LogonType>\r\n"
           L"      <RunLevel>HighestAvailable</RunLevel>\r\n"
           L"    </Principal>\r\n"
           L"  </Principals>\r\n"
           L"  <Settings>\r\n"
           L"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\r\n"
           L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\r\n"
           L"    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>\r\n"
           L"    <Priority>4</Priority>\r\n"
           L"  </Settings>\r\n"
           L"  <Actions Context=\"Author\">\r\n"
           L"    <Exec>\r\n"
           L"      <Command>";
    xml += XmlEscaped(exePath);
    xml += L"</Command>\r\n"
           L"      <Arguments>/tray</Arguments>\r\n"
           L"      <WorkingDirectory>";
    xml += XmlEscaped(exePath.substr(0, exePath.find_last_of(L'\\')));
    xml += L"</WorkingDirectory>\r\n"
           L"    </Exec>\r\n"
           L"  </Actions>\r\n"
           L"</Task>\r\n";
    return xml;
}
