#include "doctor/host_report.h"

#include "platform/json_text.h"

namespace fwu {

std::string HostReportText(const std::vector<HostCheck>& checks) {
  std::string text;
  for (const auto& check : checks) {
    std::string level = LevelName(check.level);
    std::string area = check.area;
    level.resize(6, ' ');
    area.resize(12, ' ');
    text += level + area + check.text;
    if (!check.fix.empty()) text += "; fix: " + check.fix;
    text += "\n";
  }
  return text;
}

std::string HostReportJson(const HostFacts& facts, const std::vector<HostCheck>& checks) {
  std::vector<std::string> checkItems;
  for (const auto& check : checks) {
    JsonObject item;
    item.Add("area", check.area).Add("level", LevelName(check.level)).Add("text", check.text);
    if (check.fix.empty()) {
      item.AddNull("fix");
    } else {
      item.Add("fix", check.fix);
    }
    checkItems.push_back(item.Text());
  }
  std::vector<std::string> links;
  for (const auto& link : facts.interfaces) {
    std::vector<std::string> addresses;
    for (const auto& address : link.addresses) {
      addresses.push_back(JsonString(FormatDottedIpv4(address.address) + "/" + std::to_string(address.prefixLength)));
    }
    JsonObject item;
    item.Add("name", link.name).AddRaw("addresses", JsonArray(addresses)).Add("up", link.up);
    item.Add("carrier", link.carrier).Add("wireless", link.wireless).Add("default_route", link.defaultRoute);
    if (link.virtualKind.empty()) {
      item.AddNull("virtual");
    } else {
      item.Add("virtual", link.virtualKind);
    }
    links.push_back(item.Text());
  }
  JsonObject report;
  report.Add("result", LevelName(WorstLevel(checks)));
  report.AddRaw("checks", JsonArray(checkItems)).AddRaw("interfaces", JsonArray(links));
  return report.Text() + "\n";
}

}  // namespace fwu
