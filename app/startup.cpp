#include "app/startup.h"

#include <unistd.h>

#include "platform/user_environment.h"

namespace glyphwell::app {

namespace {

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return r + 256 * g + 65536 * b;
}

StartupOptions Completed(StartupOptions o) {
  if (o.programFolder.empty())
    o.programFolder = platform::ResolveProgramFolder(platform::ExecutableFolder());
  if (o.logOnName.empty()) o.logOnName = platform::LogOnName();
  if (o.settingsPath.empty()) o.settingsPath = platform::SettingsFilePath();
  if (o.lockPath.empty()) o.lockPath = platform::InstanceLock::LockFilePath(o.title);
  if (o.pelmoraLibrary.empty()) o.pelmoraLibrary = output::PelmoraLoader::kLibraryName;
  return o;
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string RunningCopyMessage(const std::string& title) {
  return title + " は実行中です。";
}

DisplayTraits DisplayTraits::ForDepth(int bitsPerPixel) {
  DisplayTraits t;
  t.screenBitsPerPixel = bitsPerPixel;
  t.lowDepth = bitsPerPixel < 11;
  t.workingBitsPerPixel = t.lowDepth ? 8 : 32;
  if (!t.lowDepth) {
    t.backgrounds = {Rgb(230, 242, 255), Rgb(244, 255, 230), Rgb(255, 223, 255),
                     Rgb(223, 255, 217)};
  }
  return t;
}

AppEnvironment::AppEnvironment(StartupOptions options)
    : options_(Completed(std::move(options))),
      folders_(options_.programFolder, options_.logOnName),
      settingsStore_(options_.settingsPath),
      settings_(platform::Settings::Defaults(folders_.programFolder())) {}

AppEnvironment::~AppEnvironment() {
  ReleaseLibrary();
  ReleaseInstance();
}

bool AppEnvironment::ClaimSingleInstance(platform::MessageSink& messages) {
  if (instanceLock_.AcquireAt(options_.lockPath)) return true;
  messages.Show(RunningCopyMessage(options_.title), options_.title);
  return false;
}

void AppEnvironment::ReleaseInstance() {
  instanceLock_.Release();
}

void AppEnvironment::Start(platform::MessageSink& messages, const platform::DisplayProbe& display) {
  if (started_) return;
  started_ = true;
  folders_.Prepare();
  display_ = DisplayTraits::ForDepth(display.BitsPerPixel());

  settingsReadable_ = settingsStore_.Load(settings_);
  // A work file must be an absolute path to a file; anything else means the default.
  if (settings_.tmppath.empty() || settings_.tmppath[0] != '/' || settings_.tmppath.back() == '/')
    settings_.tmppath = folders_.defaultWorkFile();
  platform::MakeFolderTree(workFolder());

  pelmora_.Load(messages, options_.pelmoraLibrary);
}

std::string AppEnvironment::workFolder() const {
  return FolderOf(settings_.tmppath);
}

void AppEnvironment::ChangeWorkFolder(const std::string& folder) {
  std::string f = folder;
  while (f.size() > 1 && f.back() == '/')
    f.pop_back();
  settings_.tmppath = (f == "/" ? "" : f) + "/vs.bmp";
}

void AppEnvironment::Close() {
  if (!started_ || closed_) return;
  closed_ = true;
  if (settingsReadable_) settingsWritten_ = settingsStore_.Save(settings_);
  for (const char* name : kTemporaryFiles)
    ::unlink((workFolder() + "/" + name).c_str());
}

}  // namespace glyphwell::app
