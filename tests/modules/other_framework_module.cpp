// A plugin whose interface id names another framework version, as a module built against an
// older framework would: the loader must refuse it before loading it.

#include <QObject>
#include <QtPlugin>

class other_framework_module : public QObject {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.member-terminal.module/0.9.0" FILE "other_framework_module.json")
};

#include "other_framework_module.moc"
