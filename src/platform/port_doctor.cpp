#include "port_doctor.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "lang/port_texts.h"
#include "lang/text_table.h"

namespace velmor::platform {

namespace fs = std::filesystem;

namespace {

std::string Say(PortText text, LanguageCode language, std::string_view first = {}, std::string_view second = {}) {
  return FillText(PortCaption(text, language), first, second);
}

std::string ReadFirstLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  std::stringstream s(text);
  std::string part;
  while (std::getline(s, part, sep)) parts.push_back(part);
  if (!text.empty() && text.back() == sep) parts.emplace_back();
  return parts;
}

struct GroupEntry {
  std::string Name;
  std::vector<std::string> Members;
};

// The line of `id` in a passwd or group file ("name:x:id:..."), split.
std::vector<std::string> DatabaseLine(const std::string& file, unsigned id) {
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    auto fields = Split(line, ':');
    if (fields.size() >= 3 && fields[2] == std::to_string(id)) return fields;
  }
  return {};
}

GroupEntry GroupOf(const SystemPaths& paths, unsigned gid) {
  const auto fields = DatabaseLine(paths.GroupFile, gid);
  if (fields.empty()) return {std::to_string(gid), {}};
  GroupEntry g{fields[0], {}};
  if (fields.size() >= 4 && !fields[3].empty()) g.Members = Split(fields[3], ',');
  return g;
}

std::string UserName(const SystemPaths& paths, unsigned uid) {
  const auto fields = DatabaseLine(paths.PasswdFile, uid);
  return fields.empty() ? std::to_string(uid) : fields[0];
}

bool IsNumber(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// The N of a pseudo-terminal's /dev/pts/N, or -1.
long PtyIndex(const fs::path& real) {
  if (real.parent_path() != "/dev/pts") return -1;
  const std::string n = real.filename().string();
  return IsNumber(n) ? std::stol(n) : -1;
}

// The index of the pseudo-terminal whose master `fd` of a process is, from
// its fdinfo ("tty-index:\tN"), or -1.
long MasterIndex(const fs::path& fdinfo) {
  std::ifstream in(fdinfo);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("tty-index:", 0) != 0) continue;
    std::string n = line.substr(10);
    n.erase(0, n.find_first_not_of(" \t"));
    return IsNumber(n) ? std::stol(n) : -1;
  }
  return -1;
}

// The processes with the device open, and how many processes would not let
// us look at their open files (those of other users, unless we are root).
void FindHolders(const std::string& device, const Identity& who, const SystemPaths& paths,
                 PortFinding& finding) {
  std::error_code ec;
  const fs::path real = fs::canonical(device, ec);
  const long ptyIndex = ec ? -1 : PtyIndex(real);
  for (const auto& proc : fs::directory_iterator(paths.Proc, ec)) {
    const std::string pid = proc.path().filename().string();
    if (!IsNumber(pid)) continue;
    std::error_code fdError;
    fs::directory_iterator fds(proc.path() / "fd", fdError);
    if (fdError) {
      ++finding.HiddenProcesses;
      continue;
    }
    bool holds = false, master = false;
    for (const auto& fd : fds) {
      std::error_code linkError;
      const fs::path target = fs::read_symlink(fd.path(), linkError);
      if (linkError) continue;
      if (target == device || (!real.empty() && target == real)) holds = true;
      if (ptyIndex >= 0 && (target == "/dev/ptmx" || target == "/dev/pts/ptmx") &&
          MasterIndex(proc.path() / "fdinfo" / fd.path().filename()) == ptyIndex)
        master = true;
    }
    if (!holds) continue;
    PortHolder holder;
    holder.Pid = std::stoi(pid);
    holder.Command = ReadFirstLine(proc.path() / "comm");
    holder.ThisProgram = holder.Pid == who.OwnPid;
    holder.OtherSide = master;
    finding.Holders.push_back(holder);
  }
}

// What the node is when it is not a terminal (a folder, ...); nothing for a
// terminal. A character device is a terminal when the kernel's list of tty
// drivers claims its major and minor number; when that list cannot be read,
// any character device passes.
std::optional<PortText> NotSerialWhat(const struct stat& st, const SystemPaths& paths) {
  if (S_ISDIR(st.st_mode)) return PortText::NodeFolder;
  if (S_ISFIFO(st.st_mode)) return PortText::NodeFifo;
  if (S_ISSOCK(st.st_mode)) return PortText::NodeSocket;
  if (S_ISBLK(st.st_mode)) return PortText::NodeBlockDevice;
  if (S_ISREG(st.st_mode)) {
    if (paths.NodesAreFiles) return std::nullopt;
    return PortText::NodeFile;
  }
  if (!S_ISCHR(st.st_mode)) return PortText::NodeOther;
  std::ifstream drivers(fs::path(paths.Proc) / "tty" / "drivers");
  if (!drivers) return std::nullopt;
  const unsigned devMajor = major(st.st_rdev), devMinor = minor(st.st_rdev);
  std::string line;
  bool any = false;
  while (std::getline(drivers, line)) {
    // "usbserial  /dev/ttyUSB  188 0-511 serial"
    std::istringstream in(line);
    std::string name, node, range;
    unsigned driverMajor = 0;
    if (!(in >> name >> node >> driverMajor >> range)) continue;
    any = true;
    unsigned low = 0, high = 0;
    const auto dash = range.find('-');
    try {
      low = static_cast<unsigned>(std::stoul(range.substr(0, dash)));
      high = dash == std::string::npos ? low : static_cast<unsigned>(std::stoul(range.substr(dash + 1)));
    } catch (const std::exception&) {
      continue;
    }
    if (driverMajor == devMajor && devMinor >= low && devMinor <= high) return std::nullopt;
  }
  if (!any) return std::nullopt;
  return PortText::NodeNoTerminal;
}

bool Running(const SystemPaths& paths, const std::string& command) {
  std::error_code ec;
  for (const auto& proc : fs::directory_iterator(paths.Proc, ec)) {
    if (IsNumber(proc.path().filename().string()) && ReadFirstLine(proc.path() / "comm") == command)
      return true;
  }
  return false;
}

// The driver of the tty and the USB device above it, from sysfs.
void FindUsbAdapter(const std::string& name, const SystemPaths& paths, PortFinding& finding) {
  std::error_code ec;
  const fs::path device = fs::canonical(fs::path(paths.Sys) / "class" / "tty" / name / "device", ec);
  if (ec) return;
  const fs::path driver = fs::read_symlink(device / "driver", ec);
  if (!ec) finding.Driver = driver.filename().string();
  const fs::path top = fs::canonical(paths.Sys, ec);
  for (fs::path p = device; !p.empty() && p != top && p != p.root_path(); p = p.parent_path()) {
    if (!fs::exists(p / "idVendor")) continue;
    finding.UsbVendorId = ReadFirstLine(p / "idVendor");
    finding.UsbProductId = ReadFirstLine(p / "idProduct");
    const std::string maker = ReadFirstLine(p / "manufacturer");
    const std::string product = ReadFirstLine(p / "product");
    finding.UsbName = maker.empty() ? product : product.empty() ? maker : maker + " " + product;
    return;
  }
}

std::string HolderText(const PortHolder& h, LanguageCode language) {
  return (h.Command.empty() ? Say(PortText::AProcess, language) : h.Command) + " (pid " + std::to_string(h.Pid) + ")";
}

}  // namespace

Identity Identity::Current() {
  Identity who;
  who.Uid = ::getuid();
  if (const passwd* pw = ::getpwuid(who.Uid)) who.User = pw->pw_name;
  const int n = ::getgroups(0, nullptr);
  std::vector<gid_t> groups(static_cast<std::size_t>(std::max(n, 0)));
  if (n > 0 && ::getgroups(n, groups.data()) == n)
    for (gid_t g : groups) who.SessionGroups.push_back(g);
  who.SessionGroups.push_back(::getegid());
  who.OwnPid = static_cast<int>(::getpid());
  return who;
}

std::string ModeText(unsigned mode) {
  std::string text = "rwxrwxrwx";
  for (int i = 0; i < 9; ++i)
    if ((mode & (0400u >> i)) == 0) text[static_cast<std::size_t>(i)] = '-';
  return text;
}

PortFinding DiagnoseNoDevice(int portNumber, LanguageCode language) {
  PortFinding f;
  const std::string com = "COM" + std::to_string(portNumber);
  f.Problems.push_back({PortProblemKind::NoDevice, Say(PortText::NoDeviceFor, language, com),
                        Say(PortText::NoDeviceFix, language, "VELMOR_COM" + std::to_string(portNumber))});
  return f;
}

PortFinding DiagnosePort(const std::string& device, const Identity& who, const SystemPaths& paths,
                         const std::string& overrideVariable, LanguageCode language) {
  PortFinding f;
  f.Device = device;
  struct stat st {};
  if (::stat(device.c_str(), &st) != 0) {
    f.Problems.push_back({PortProblemKind::Missing, Say(PortText::Missing, language, device),
                          overrideVariable.empty() ? Say(PortText::MissingFix, language)
                                                   : Say(PortText::MissingFixVariable, language, overrideVariable)});
    return f;
  }
  if (const std::optional<PortText> what = NotSerialWhat(st, paths)) {
    f.Problems.push_back({PortProblemKind::NotSerial, Say(PortText::NotSerial, language, device, Say(*what, language)),
                          overrideVariable.empty() ? Say(PortText::NotSerialFix, language)
                                                   : Say(PortText::NotSerialFixVariable, language, overrideVariable)});
    return f;
  }
  f.Present = true;
  f.Mode = st.st_mode & 0777u;
  f.Owner = UserName(paths, st.st_uid);
  const GroupEntry group = GroupOf(paths, st.st_gid);
  f.Group = group.Name;
  f.InGroup = std::find(who.SessionGroups.begin(), who.SessionGroups.end(), st.st_gid) !=
              who.SessionGroups.end();
  const unsigned rw = who.Uid == st.st_uid ? 0600u : f.InGroup ? 0060u : 0006u;
  f.CanReadWrite = who.Uid == 0 || (f.Mode & rw) == rw;

  if (!f.CanReadWrite) {
    // Nobody should join root's group to reach a port.
    const bool groupWouldDo = (f.Mode & 0060u) == 0060u && !f.InGroup && f.Group != "root";
    const bool listed = std::find(group.Members.begin(), group.Members.end(), who.User) != group.Members.end();
    const std::string what = Say(PortText::PermissionDenied, language,
                                 device + " (" + ModeText(f.Mode) + " " + f.Owner + ":" + f.Group + ")");
    if (groupWouldDo && listed)
      f.Problems.push_back({PortProblemKind::LoginAgain, Say(PortText::LoginAgain, language, what, f.Group),
                            Say(PortText::LoginAgainFix, language, f.Group)});
    else if (groupWouldDo)
      f.Problems.push_back({PortProblemKind::NotInGroup, Say(PortText::NotInGroup, language, what, f.Group),
                            Say(PortText::NotInGroupFix, language, f.Group)});
    else
      f.Problems.push_back({PortProblemKind::NoPermission, Say(PortText::NoGroup, language, what),
                            Say(PortText::NoGroupFix, language)});
  }

  // This program holding the port is the link using it, and the holder of a
  // pseudo-terminal's master is the other end of the line: neither keeps
  // the port from us.
  FindHolders(device, who, paths, f);
  std::string names;
  for (const PortHolder& h : f.Holders)
    if (!h.ThisProgram && !h.OtherSide) names += (names.empty() ? "" : ", ") + HolderText(h, language);
  if (!names.empty()) {
    f.Problems.push_back({PortProblemKind::Busy, Say(PortText::Busy, language, device, names),
                          Say(PortText::BusyFix, language)});
  }

  std::error_code ec;
  const fs::path real = fs::canonical(device, ec);
  const std::string name = (ec ? fs::path(device) : real).filename().string();
  FindUsbAdapter(name, paths, f);
  const bool usb = !f.UsbVendorId.empty();
  const std::string rule = usb ? "ATTRS{idVendor}==\"" + f.UsbVendorId + "\", ATTRS{idProduct}==\"" +
                                     f.UsbProductId + "\", "
                               : "";
  if (name.rfind("ttyACM", 0) == 0 && Running(paths, "ModemManager"))
    f.Problems.push_back(
        {PortProblemKind::ModemManager, Say(PortText::ModemManager, language, name),
         Say(PortText::ModemManagerFix, language,
             usb ? Say(PortText::UdevRule, language, rule + "ENV{ID_MM_DEVICE_IGNORE}=\"1\"")
                 : Say(PortText::DisableIt, language))});
  if (usb && Running(paths, "brltty"))
    f.Problems.push_back({PortProblemKind::Brltty, Say(PortText::Brltty, language, name),
                          Say(PortText::BrlttyFix, language)});
  return f;
}

std::string Summary(const PortFinding& finding, LanguageCode language) {
  if (finding.Problems.empty()) return {};
  const PortProblem& p = finding.Problems.front();
  return Say(PortText::SummaryFix, language, p.What, p.Fix);
}

}  // namespace velmor::platform
