#include "framework/module/module_loader.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibrary>
#include <QPluginLoader>
#include <map>
#include <memory>

#include "framework/module/module_interface.h"

namespace {

std::map<std::string, std::unique_ptr<loaded_module>>& by_file() {
  static std::map<std::string, std::unique_ptr<loaded_module>> m;
  return m;
}

std::vector<const loaded_module*>& in_order() {
  static std::vector<const loaded_module*> v;
  return v;
}

std::string str(const QJsonValue& v) { return v.toString().toStdString(); }

std::vector<module_window>& host_windows() {
  static std::vector<module_window> v;
  return v;
}

// The "windows" list of metadata; false with reason when a window has no class name.
bool read_windows(const QJsonObject& meta, std::vector<module_window>& out, std::string& reason) {
  for (const QJsonValue& w : meta.value("windows").toArray()) {
    const QJsonObject o = w.toObject();
    module_window mw{str(o.value("class")), str(o.value("caption")), str(o.value("opens_with"))};
    if (mw.class_name.empty()) {
      reason = "its metadata lists a window without a class name";
      return false;
    }
    out.push_back(std::move(mw));
  }
  return true;
}

// Name, version and windows from the metadata; false with reason when they are missing.
bool read_metadata(const QJsonObject& meta, loaded_module& m, std::string& reason) {
  m.name = str(meta.value("name"));
  m.version = str(meta.value("version"));
  if (m.name.empty() || m.version.empty()) {
    reason = "its metadata names no module or no version";
    return false;
  }
  return read_windows(meta, m.windows, reason);
}

}  // namespace

const loaded_module* load_module(const std::string& file, std::string& reason) {
  const QFileInfo info(QString::fromStdString(file));
  const std::string path = info.absoluteFilePath().toStdString();
  if (auto it = by_file().find(path); it != by_file().end()) return it->second.get();

  QPluginLoader loader(info.absoluteFilePath());
  const QJsonObject meta = loader.metaData();
  if (meta.isEmpty()) {
    // No plugin metadata: let the loader say why (missing file, not a library, not a plugin).
    if (loader.load()) loader.unload();
    reason = loader.errorString().toStdString();
    return nullptr;
  }
  const std::string iid = str(meta.value("IID"));
  if (iid != MEMBER_MODULE_IID) {
    const std::string prefix = MEMBER_MODULE_IID_PREFIX;
    reason = iid.rfind(prefix, 0) == 0
                 ? "built against framework " + iid.substr(prefix.size()) +
                       "; this host has framework " MEMBER_FRAMEWORK_VERSION
                 : "not a module of this host (plugin interface " + iid + ")";
    return nullptr;
  }
  auto m = std::make_unique<loaded_module>();
  m->file = path;
  if (!read_metadata(meta.value("MetaData").toObject(), *m, reason)) return nullptr;
  if (!loader.load()) {
    reason = loader.errorString().toStdString();
    return nullptr;
  }
  m->module = qobject_cast<module_interface*>(loader.instance());
  if (!m->module) {
    reason = "the plugin does not implement the module interface";
    loader.unload();
    return nullptr;
  }
  m->module->init();
  const loaded_module* out = m.get();
  by_file()[path] = std::move(m);
  in_order().push_back(out);
  return out;
}

std::vector<module_failure> load_modules(const std::string& dir) {
  std::vector<module_failure> failures;
  const QDir d(QString::fromStdString(dir));
  if (!d.exists()) return {{dir, "the module folder does not exist"}};
  int loaded = 0;
  for (const QFileInfo& f : d.entryInfoList(QDir::Files, QDir::Name)) {
    if (!QLibrary::isLibrary(f.fileName())) continue;
    std::string reason;
    if (load_module(f.absoluteFilePath().toStdString(), reason)) {
      ++loaded;
    } else {
      failures.push_back({f.absoluteFilePath().toStdString(), reason});
    }
  }
  if (loaded == 0 && failures.empty()) failures.push_back({dir, "the folder holds no module"});
  return failures;
}

const std::vector<const loaded_module*>& loaded_modules() { return in_order(); }

bool declare_host_windows(const char* metadata, void (*register_windows)(), std::string& reason) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray(metadata), &error);
  if (!doc.isObject()) {
    reason = "the host's window list does not read: " + error.errorString().toStdString();
    return false;
  }
  std::vector<module_window> windows;
  if (!read_windows(doc.object(), windows, reason)) return false;
  register_windows();
  host_windows() = std::move(windows);
  return true;
}

std::vector<module_window> declared_windows() {
  std::vector<module_window> out;
  for (const loaded_module* m : in_order()) out.insert(out.end(), m->windows.begin(), m->windows.end());
  out.insert(out.end(), host_windows().begin(), host_windows().end());
  return out;
}
