#include "settings/ConnectionSettings.h"

#include "platform/BrowserProxy.h"
#include "platform/ProfileFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Text.h"

namespace quorvia {

TConnectionSettings ConnectionSettings;

namespace {

constexpr std::string_view section = "inet";

} // namespace

TIEProxy ReadIEProxy() {
    const ProxyServerValue value = ReadProxyServerValue();
    if (!value.opened)
        return {};
    const std::size_t colon = value.text.find(':');
    if (colon == std::string::npos)
        return {true, Trim(value.text), ""};
    const std::string_view text(value.text);
    return {true, Trim(text.substr(0, colon)), Trim(text.substr(colon + 1))};
}

std::string DefaultUserAgent() {
    const std::vector<std::string> agents = ReadLineList(ShippedFile("ua.lst"));
    if (!agents.empty()) {
        std::string first = Trim(agents.front());
        if (!first.empty())
            return first;
    }
    return FallbackUserAgent;
}

void LoadSettings() {
    const ProfileFile ini = ProgramSettingsFile();
    const TConnectionSettings defaults;
    TConnectionSettings loaded;
    loaded.timeout = ini.ReadInteger(section, "timeout", defaults.timeout);
    loaded.RetryConnect = ini.ReadInteger(section, "RetryConnect", defaults.RetryConnect);
    loaded.UserAgent = ini.ReadString(section, "UserAgent", DefaultUserAgent());
    loaded.Proxy = ini.ReadString(section, "Proxy", defaults.Proxy);
    loaded.ProxyPort = ini.ReadInteger(section, "ProxyPort", defaults.ProxyPort);
    loaded.Username = ini.ReadString(section, "Username", defaults.Username);
    loaded.Password = ini.ReadString(section, "Password", defaults.Password);
    loaded.UseAuth = ini.ReadInteger(section, "UseAuth", defaults.UseAuth);
    loaded.ConnectType = ini.ReadInteger(section, "ConnectType", defaults.ConnectType);
    if (loaded.ConnectType == 3) {
        if (const TIEProxy proxy = ReadIEProxy(); proxy.opened) {
            loaded.Proxy = proxy.host;
            loaded.ProxyPort = ParseWholeNumber(proxy.port).value_or(0);
        }
    }
    ConnectionSettings = loaded;
}

void SaveSettings() {
    ProfileFile ini = ProgramSettingsFile();
    const TConnectionSettings& s = ConnectionSettings;
    ini.WriteInteger(section, "timeout", s.timeout);
    ini.WriteInteger(section, "RetryConnect", s.RetryConnect);
    ini.WriteString(section, "UserAgent", s.UserAgent);
    ini.WriteString(section, "Proxy", s.Proxy);
    ini.WriteInteger(section, "ProxyPort", s.ProxyPort);
    ini.WriteString(section, "Username", s.Username);
    ini.WriteString(section, "Password", s.Password);
    ini.WriteInteger(section, "UseAuth", s.UseAuth);
    ini.WriteInteger(section, "ConnectType", s.ConnectType);
}

} // namespace quorvia
