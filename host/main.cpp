// member-terminal: the demo host of the member module. Loads the modules of its module folder,
// connects sqlca to the shop database (creating a demo one on first run) and shows the launcher,
// or renders one window to a PNG.

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "framework/db/transaction.h"
#include "framework/module/module_loader.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/install_ui.h"
#include "host/first_run.h"
#include "host/hide_passwords.h"
#include "host/host_options.h"
#include "host/host_windows.h"
#include "host/launcher_window.h"
#include "host/screenshot.h"

namespace {

bool env_set(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

bool has_display() {
  return env_set("DISPLAY") || env_set("WAYLAND_DISPLAY") || env_set("QT_QPA_PLATFORM");
}

// A start-up failure: plainly on standard error, and in a box when there is a screen to show it.
int fail(const std::string& text, bool gui) {
  std::cerr << "member-terminal: " << text << "\n";
  if (gui) {
    QMessageBox::critical(nullptr, QString::fromUtf8("会员模块 演示终端"),
                          QString::fromStdString(text));
  }
  return 1;
}

// Loads the modules of the module folder (a QCoreApplication must exist) and adds the host's own
// windows. A module that cannot be loaded is named with the reason; the terminal goes on without
// it.
std::vector<module_failure> load_host_modules(const host_options& opt) {
  const std::string module_dir =
      opt.module_dir.empty()
          ? default_module_dir(QCoreApplication::applicationDirPath().toStdString())
          : opt.module_dir;
  std::vector<module_failure> failures = load_modules(module_dir);
  if (std::string reason; !add_host_windows(reason)) failures.push_back({"host_windows.json", reason});
  for (const module_failure& f : failures) {
    std::cerr << "member-terminal: module not loaded: " << f.text() << "\n";
  }
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto opt = parse_host_options(args, error);
  if (!opt) {
    std::cerr << "member-terminal: " << error << "\n";
    return 64;
  }
  // The arguments are copied: from here on `ps` shows the database URL without its password.
  hide_passwords_in_arguments(argc, argv);
  if (opt->help) {
    std::cout << host_usage();
    return 0;
  }
  if (opt->create_schema) {
    // The schema is the loaded modules'.
    QCoreApplication core(argc, argv);
    load_host_modules(*opt);
    const std::string url = opt->database_url.empty()
                                ? default_database_url(runtime::current_directory())
                                : opt->database_url;
    uo_transaction admin;
    if (admin.connect(url) != 0) return fail(admin.sqlerrtext, false);
    std::string done;
    if (create_shop_schema(admin, opt->demo_data ? std::optional<int>(opt->members) : std::nullopt,
                           done, error) < 0)
      return fail(error, false);
    std::cout << "member-terminal: " << done << "\n";
    return 0;
  }
  if (opt->screenshot()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  } else if (!has_display()) {
    // The hint names the program as it was started: installed, it is on the PATH.
    std::cerr << "member-terminal: no display (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                 "Run it under Xvfb:      xvfb-run " << argv[0] << "\n"
                 "or render one window:   member-terminal --screenshot CLASS FILE.png "
                 "[--parm N | --text S]\n"
                 "(see member-terminal --help)\n";
    return 2;
  }

  QApplication app(argc, argv);
  // A screenshot shows the declared column widths, not those a user of this machine dragged.
  if (opt->screenshot())
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QDir::currentPath() + "/settings");
  install_ui();
  const bool gui = !opt->screenshot();
  if (!gui) {
    // Nobody can answer a box: print it and take its default button.
    runtime::set_messagebox_handler([](const msgbox_request& r) {
      std::cerr << "message box: " << r.title << ": " << r.text << "\n";
      return r.default_button;
    });
  }

  const std::vector<module_failure> failures = load_host_modules(*opt);

  const std::string dir = runtime::current_directory();
  const std::string url =
      opt->database_url.empty() ? default_database_url(dir) : opt->database_url;
  const start_database_file file(sqlca, url);  // before connecting creates it
  if (sqlca.connect(url) != 0) {
    return fail("cannot connect to the database " + display_url(url) + ":\n" + sqlca.sqlerrtext, gui);
  }
  const int created = loaded_modules().empty()
                          ? 0
                          : prepare_demo_database(sqlca, opt->members, error, file.was_there());
  if (created < 0) return fail(error, gui);
  if (created > 0) {
    std::cerr << "member-terminal: created the demo database " << display_url(url) << " with "
              << opt->members << " members\n";
  }
  // A database of an older release is upgraded here (SQLite) or refused (a shop server's is the
  // administrator's step); one of a newer release is refused.
  std::string database_note;
  if (created == 0 && !loaded_modules().empty() &&
      bring_schema_up_to_date(sqlca, database_note, error) < 0)
    return fail(error, gui);
  if (!database_note.empty()) std::cerr << "member-terminal: " << database_note << "\n";
  if (!ensure_site_ini(dir, error)) return fail(error, gui);

  if (opt->screenshot()) {
    // A window stuck waiting for a user (a box shown outside the runtime) must not hang a script.
    QTimer::singleShot(120000, [] {
      std::cerr << "member-terminal: the window did not render within 120 s\n";
      std::_Exit(6);
    });
    int rc = 0;
    if (opt->screenshot_class == "launcher") {
      launcher_window launcher(url, failures, database_note);
      launcher.show();
      settle_events(300);
      rc = save_widget_png(&launcher, opt->screenshot_file, error) ? 0 : 4;
    } else {
      rc = render_window_png(opt->screenshot_class, opt->parm, opt->text, opt->screenshot_file,
                             error);
    }
    if (rc != 0) {
      std::cerr << "member-terminal: " << error << "\n";
      return rc;
    }
    std::cout << opt->screenshot_file << "\n";
    return 0;
  }

  launcher_window launcher(url, failures, database_note);
  launcher.show();
  return app.exec();
}
