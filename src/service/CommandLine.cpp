// The options and the help.
#include "service/CommandLine.h"

namespace kt::service {

std::optional<ServiceOptions> ParseServiceOptions(const std::vector<std::string>& args,
                                                  std::string& error) {
  ServiceOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool takesFile = a == "--config" || a == "--check-config";
    if (takesFile) {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = a + " 后面要给配置文件 / " + a + " needs a configuration file";
        return std::nullopt;
      }
      options.configPath = args[++i];
      if (a == "--check-config") options.action = ServiceAction::CheckConfig;
    } else if (a == "--once") {
      options.action = ServiceAction::Once;
    } else if (a == "--help" || a == "-h") {
      options.action = ServiceAction::Help;
    } else if (a == "--version") {
      options.action = ServiceAction::Version;
    } else {
      error = "不认识的选项 " + a + " / unknown option " + a;
      return std::nullopt;
    }
  }
  return options;
}

std::string ServiceHelp() {
  return R"(用法 / usage: kt7340d [--config FILE] [--once]
       kt7340d --check-config FILE

轮询配置文件中各线路上的仪表，把每台仪表的状态发布到 MQTT 代理，并按天写入 CSV 文件。
Polls the meters of every line in the configuration file, publishes each meter's state to an
MQTT broker and writes one CSV file per line per day.

  --config FILE        配置文件（默认 /etc/kt7340/kt7340d.toml）/ the configuration file
  --check-config FILE  只检查配置文件 / only check the configuration file
  --once               每台仪表轮询一次，打印状态（JSON）后退出 / poll every meter once, print
                       its state (JSON) and exit
  --help               本说明 / this text
  --version            版本 / the version

退出码 / exit codes: 0 正常 / done, 1 运行失败 / failure, 2 选项或配置文件有误 / bad options
or configuration file. SIGHUP 重新读取配置 / reloads the configuration, SIGTERM 停止 / stops.
)";
}

}  // namespace kt::service
