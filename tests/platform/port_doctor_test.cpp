#include "port_doctor.h"
#include "port_report.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>

#include "temp_dir.h"

namespace velmor::platform {
namespace {

namespace fs = std::filesystem;

// A made-up system: device nodes (plain files), a group and a passwd file,
// processes with their open files and a sysfs tree of USB adapters. The
// files belong to whoever runs the test; the user the doctor works for is
// someone else, so that the permission bits count even for root.
class FakeSystem {
 public:
  FakeSystem() {
    for (const char* d : {"dev", "proc", "sys/class/tty", "etc"}) fs::create_directories(dir_.path / d);
    paths.Proc = (dir_.path / "proc").string();
    paths.Sys = (dir_.path / "sys").string();
    paths.GroupFile = (dir_.path / "etc/group").string();
    paths.PasswdFile = (dir_.path / "etc/passwd").string();
    paths.NodesAreFiles = true;
    Write(paths.PasswdFile, "owner:x:" + std::to_string(::geteuid()) + ":0::/:/bin/sh\n");
    who.Uid = ::geteuid() + 1000;
    who.User = "tuner";
    who.SessionGroups = {::getegid() + 1000};
    who.OwnPid = 999999;
  }

  static void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }

  std::string Device(const std::string& name, fs::perms mode) {
    const fs::path p = dir_.path / "dev" / name;
    Write(p, "");
    fs::permissions(p, mode);
    return p.string();
  }
  // The group of the files the test makes, by the given name.
  void DeviceGroup(const std::string& name, const std::string& members) {
    Write(paths.GroupFile, name + ":x:" + std::to_string(::getegid()) + ":" + members + "\n");
  }
  void Process(int pid, const std::string& command, const std::vector<std::string>& openFiles) {
    const fs::path p = fs::path(paths.Proc) / std::to_string(pid);
    Write(p / "comm", command + "\n");
    fs::create_directories(p / "fd");
    int fd = 3;
    for (const auto& f : openFiles) fs::create_symlink(f, p / "fd" / std::to_string(fd++));
  }
  void UsbAdapter(const std::string& tty, const std::string& vendor, const std::string& product,
                  const std::string& name, const std::string& driver) {
    const fs::path usb = fs::path(paths.Sys) / "devices/pci0000:00/usb1/1-2";
    Write(usb / "idVendor", vendor + "\n");
    Write(usb / "idProduct", product + "\n");
    Write(usb / "product", name + "\n");
    const fs::path port = usb / "1-2:1.0" / tty;
    fs::create_directories(port);
    fs::create_directories(fs::path(paths.Sys) / "bus/usb-serial/drivers" / driver);
    fs::create_symlink(fs::path(paths.Sys) / "bus/usb-serial/drivers" / driver, port / "driver");
    fs::create_directories(fs::path(paths.Sys) / "class/tty" / tty);
    fs::create_symlink(port, fs::path(paths.Sys) / "class/tty" / tty / "device");
  }

  SystemPaths paths;
  Identity who;

 private:
  TempDir dir_;
};

std::vector<PortProblemKind> Kinds(const PortFinding& f) {
  std::vector<PortProblemKind> kinds;
  for (const auto& p : f.Problems) kinds.push_back(p.Kind);
  return kinds;
}

using fs::perms;
constexpr perms kGroupRw = perms::owner_read | perms::owner_write | perms::group_read | perms::group_write;
constexpr perms kOwnerRw = perms::owner_read | perms::owner_write;

struct DoctorCase {
  const char* Name;
  // Makes the system; returns the device to diagnose.
  std::function<std::string(FakeSystem&)> Setup;
  std::vector<PortProblemKind> Expected;
  const char* InSummary;  // a piece of the one-line summary; "" for none
};

void PrintTo(const DoctorCase& c, std::ostream* os) { *os << c.Name; }

class PortDoctorCases : public ::testing::TestWithParam<DoctorCase> {};

TEST_P(PortDoctorCases, FindsTheProblemAndItsFix) {
  const DoctorCase& c = GetParam();
  FakeSystem sys;
  const std::string device = c.Setup(sys);
  const PortFinding f = DiagnosePort(device, sys.who, sys.paths, "VELMOR_COM2");
  EXPECT_EQ(Kinds(f), c.Expected);
  const std::string summary = Summary(f);
  if (*c.InSummary == 0) {
    EXPECT_EQ(summary, "");
  } else {
    EXPECT_NE(summary.find(c.InSummary), std::string::npos) << summary;
  }
}

const DoctorCase kDoctorCases[] = {
    {"MissingDevice", [](FakeSystem& s) { return s.paths.Proc + "/../dev/ttyUSB7"; },
     {PortProblemKind::Missing}, "point VELMOR_COM2 at the right device"},
    {"NotInGroup",
     [](FakeSystem& s) {
       s.DeviceGroup("dialout", "someone");
       return s.Device("ttyUSB0", kGroupRw);
     },
     {PortProblemKind::NotInGroup}, "sudo usermod -aG dialout $USER, then log out and in again"},
    {"AddedToGroupAfterLogin",
     [](FakeSystem& s) {
       s.DeviceGroup("dialout", "someone,tuner");
       return s.Device("ttyUSB0", kGroupRw);
     },
     {PortProblemKind::LoginAgain}, "log out and in again"},
    {"InGroup",
     [](FakeSystem& s) {
       s.DeviceGroup("dialout", "tuner");
       s.who.SessionGroups.push_back(::getegid());
       return s.Device("ttyUSB0", kGroupRw);
     },
     {}, ""},
    {"OwnerOnlyDevice",
     [](FakeSystem& s) {
       s.DeviceGroup("dialout", "");
       return s.Device("ttyS0", kOwnerRw);
     },
     {PortProblemKind::NoPermission}, "permission denied"},
    {"RootGroupIsNoAdvice",
     [](FakeSystem& s) {
       s.DeviceGroup("root", "");
       return s.Device("ttyS0", kGroupRw);
     },
     {PortProblemKind::NoPermission}, "udev rule"},
    {"HeldByAnotherProgram",
     [](FakeSystem& s) {
       s.who.SessionGroups.push_back(::getegid());
       const std::string dev = s.Device("ttyUSB0", kGroupRw);
       s.Process(4242, "minicom", {"/dev/null", dev});
       s.Process(17, "bash", {"/dev/null"});
       return dev;
     },
     {PortProblemKind::Busy}, "busy: "},
    {"ModemManagerAndAnAcmDevice",
     [](FakeSystem& s) {
       s.who.SessionGroups.push_back(::getegid());
       s.Process(300, "ModemManager", {});
       s.UsbAdapter("ttyACM0", "2341", "0043", "Uno", "cdc_acm");
       return s.Device("ttyACM0", kGroupRw);
     },
     {PortProblemKind::ModemManager},
     "sudo systemctl stop ModemManager, or a udev rule for this adapter: ATTRS{idVendor}==\"2341\", "
     "ATTRS{idProduct}==\"0043\", ENV{ID_MM_DEVICE_IGNORE}=\"1\""},
    {"ModemManagerLeavesUsbSerialAlone",
     [](FakeSystem& s) {
       s.who.SessionGroups.push_back(::getegid());
       s.Process(300, "ModemManager", {});
       s.UsbAdapter("ttyUSB0", "0403", "6001", "FT232R USB UART", "ftdi_sio");
       return s.Device("ttyUSB0", kGroupRw);
     },
     {}, ""},
    {"BrlttyAndAUsbAdapter",
     [](FakeSystem& s) {
       s.who.SessionGroups.push_back(::getegid());
       s.Process(301, "brltty", {});
       s.UsbAdapter("ttyUSB0", "1a86", "7523", "USB Serial", "ch341");
       return s.Device("ttyUSB0", kGroupRw);
     },
     {PortProblemKind::Brltty}, "brltty"},
    {"EveryProblemAtOnceFirstThePermission",
     [](FakeSystem& s) {
       s.DeviceGroup("dialout", "");
       s.Process(300, "ModemManager", {});
       const std::string dev = s.Device("ttyACM0", kGroupRw);
       s.Process(4242, "screen", {dev});
       return dev;
     },
     {PortProblemKind::NotInGroup, PortProblemKind::Busy, PortProblemKind::ModemManager},
     "you are not in the group dialout"},
};

INSTANTIATE_TEST_SUITE_P(PortDoctor, PortDoctorCases, ::testing::ValuesIn(kDoctorCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(PortDoctor, DescribesTheDeviceAndTheUsbAdapterBehindIt) {
  FakeSystem sys;
  sys.DeviceGroup("dialout", "");
  sys.UsbAdapter("ttyUSB0", "0403", "6001", "FT232R USB UART", "ftdi_sio");
  const std::string dev = sys.Device("ttyUSB0", kGroupRw);
  sys.Process(4242, "minicom", {dev});
  const PortFinding f = DiagnosePort(dev, sys.who, sys.paths);
  EXPECT_TRUE(f.Present);
  EXPECT_EQ(f.Owner, "owner");
  EXPECT_EQ(f.Group, "dialout");
  EXPECT_EQ(ModeText(f.Mode), "rw-rw----");
  EXPECT_FALSE(f.InGroup);
  EXPECT_FALSE(f.CanReadWrite);
  EXPECT_EQ(f.UsbVendorId, "0403");
  EXPECT_EQ(f.UsbProductId, "6001");
  EXPECT_EQ(f.UsbName, "FT232R USB UART");
  EXPECT_EQ(f.Driver, "ftdi_sio");
  ASSERT_EQ(f.Holders.size(), 1u);
  EXPECT_EQ(f.Holders[0].Pid, 4242);
  EXPECT_EQ(f.Holders[0].Command, "minicom");
  EXPECT_FALSE(f.Holders[0].ThisProgram);
}

TEST(PortDoctor, ANumberWithoutADeviceNamesItsVariable) {
  const std::string s = Summary(DiagnoseNoDevice(3));
  EXPECT_EQ(s.rfind("no such device", 0), 0u) << s;
  EXPECT_NE(s.find("VELMOR_COM3=/dev/..."), std::string::npos) << s;
}

// The window tells the findings in its language; commands, groups and
// variables stay as the system spells them.
TEST(PortDoctor, FindingsInTheWindowsLanguage) {
  struct Case {
    LanguageCode Language;
    const char* Summary;
  };
  const Case cases[] = {
      {LanguageCode::English, "no such device: no serial adapter is plugged in for COM3. Fix: plug the adapter in"},
      {LanguageCode::German, "kein solches Gerät: für COM3 ist kein serieller Adapter angeschlossen. Abhilfe: den "
                             "Adapter anschließen (er erscheint als /dev/ttyUSB* oder /dev/ttyACM*) oder "
                             "VELMOR_COM3=/dev/... setzen"},
      {LanguageCode::French, "périphérique absent : aucun adaptateur série n'est branché pour COM3. Solution : "},
      {LanguageCode::Czech, "zařízení neexistuje: pro COM3 není připojen žádný sériový adaptér. Náprava: připojte"},
  };
  for (const Case& c : cases) {
    const std::string s = Summary(DiagnoseNoDevice(3, c.Language), c.Language);
    EXPECT_EQ(s.rfind(c.Summary, 0), 0u) << s;
  }
  FakeSystem sys;
  sys.DeviceGroup("dialout", "someone");
  const std::string device = sys.Device("ttyUSB0", kGroupRw);
  const PortFinding f = DiagnosePort(device, sys.who, sys.paths, "", LanguageCode::Czech);
  const std::string text = FindingText("COM1", f, "", LanguageCode::Czech);
  EXPECT_NE(text.find("přístup odepřen: " + device), std::string::npos) << text;
  EXPECT_NE(text.find("nejste ve skupině dialout"), std::string::npos) << text;
  EXPECT_NE(text.find("náprava: sudo usermod -aG dialout $USER, pak se odhlaste a znovu přihlaste"),
            std::string::npos) << text;
}

// A child process that runs `hold` and then waits until it is killed; the
// parent goes on once the child has done it.
class Child {
 public:
  explicit Child(const std::function<void()>& hold) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      hold();
      const char c = 1;
      (void)!::write(ready[1], &c, 1);
      for (;;) ::pause();
    }
    char c = 0;
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    ::close(ready[1]);
  }
  ~Child() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  int pid() const { return pid_; }

 private:
  int pid_ = -1;
};

// The real system: a pseudo-terminal is there and ours to use. This program
// holding it (the link using it) and the holder of its master (a simulated
// unit) keep it from nobody; any other process holding it does.
TEST(PortDoctor, RealPseudoTerminal) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const std::string slave = ::ptsname(master);
  const Identity me = Identity::Current();

  PortFinding f = DiagnosePort(slave, me);
  EXPECT_TRUE(f.Present);
  EXPECT_TRUE(f.CanReadWrite);
  EXPECT_TRUE(f.Problems.empty()) << Summary(f);

  const int fd = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  f = DiagnosePort(slave, me);
  EXPECT_TRUE(f.Problems.empty()) << Summary(f);
  ASSERT_EQ(f.Holders.size(), 1u);
  EXPECT_EQ(f.Holders[0].Pid, ::getpid());
  EXPECT_TRUE(f.Holders[0].ThisProgram);
  ::close(fd);

  {
    const Child other([&] {
      ::close(master);  // only the line's far end holds the master
      (void)!::open(slave.c_str(), O_RDWR | O_NOCTTY);
    });
    f = DiagnosePort(slave, me);
    ASSERT_EQ(Kinds(f), std::vector<PortProblemKind>{PortProblemKind::Busy});
    EXPECT_NE(Summary(f).find("(pid " + std::to_string(other.pid()) + ")"), std::string::npos) << Summary(f);
  }
  ::close(master);

  f = DiagnosePort(slave, me);
  EXPECT_FALSE(f.Present);
  EXPECT_EQ(Kinds(f), std::vector<PortProblemKind>{PortProblemKind::Missing});
}

// A simulated unit holds both ends of its pseudo-terminal: the program that
// talks to it finds the port free.
TEST(PortDoctor, TheOtherEndOfAPseudoTerminalIsNoCompetitor) {
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const Child sim([&] {
    const int m = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(m);
    ::unlockpt(m);
    const char* name = ::ptsname(m);
    (void)!::open(name, O_RDWR | O_NOCTTY);
    (void)!::write(pipeFds[1], name, std::strlen(name) + 1);
  });
  char name[64] = {};
  ASSERT_GT(::read(pipeFds[0], name, sizeof name - 1), 0);
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  const PortFinding f = DiagnosePort(name, Identity::Current());
  EXPECT_TRUE(f.Problems.empty()) << Summary(f);
  ASSERT_EQ(f.Holders.size(), 1u);
  EXPECT_EQ(f.Holders[0].Pid, sim.pid());
  EXPECT_TRUE(f.Holders[0].OtherSide);
}

// Whatever a port variable points at that is no terminal is said to be so,
// with the fix, and never "ok".
TEST(PortDoctor, APathThatIsNoSerialDevice) {
  TempDir dir;
  const fs::path file = dir.path / "file", folder = dir.path / "folder", fifo = dir.path / "fifo";
  std::ofstream(file) << "x";
  fs::create_directory(folder);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string Path;
    const char* What;
  } cases[] = {
      {file.string(), "is a regular file"},
      {folder.string(), "is a folder"},
      {fifo.string(), "is a FIFO"},
      {"/dev/zero", "is a device that is no serial port"},
      {"/dev/null", "is a device that is no serial port"},
  };
  for (const auto& c : cases) {
    const PortFinding f = DiagnosePort(c.Path, Identity::Current(), {}, "VELMOR_COM1");
    EXPECT_EQ(Kinds(f), std::vector<PortProblemKind>{PortProblemKind::NotSerial}) << c.Path;
    const std::string s = Summary(f);
    EXPECT_EQ(s.rfind("not a serial device: " + c.Path + " " + c.What, 0), 0u) << s;
    EXPECT_NE(s.find("point VELMOR_COM1 at the serial adapter"), std::string::npos) << s;
    EXPECT_FALSE(Usable(f)) << c.Path;
  }
}

// The report covers the Com menu and every number an override variable
// names; anything else that looks like one is no port.
TEST(PortReport, PortNumbersAreTheMenuAndTheOverrides) {
  std::string entries[] = {"VELMOR_COM25=/dev/pts/3", "VELMOR_COM256=/x", "VELMOR_COM7=/x",
                           "VELMOR_COM=/x",           "VELMOR_COM0=/x",    "VELMOR_COM257=/x",
                           "VELMOR_COM99999999999=/x", "VELMOR_COMX=/x",    "XVELMOR_COM30=/x",
                           "VELMOR_COM31",             "HOME=/root"};
  std::vector<char*> environment;
  for (auto& e : entries) environment.push_back(e.data());
  environment.push_back(nullptr);
  std::set<int> expected;
  for (int n = 1; n <= 20; ++n) expected.insert(n);
  expected.insert({25, 256});
  EXPECT_EQ(PortNumbers(environment.data()), expected);
  EXPECT_EQ(PortNumbers(nullptr).size(), 20u);
}

}  // namespace
}  // namespace velmor::platform
