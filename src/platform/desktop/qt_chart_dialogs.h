// The chord-chart dialogs on Qt.
#pragma once

#include <QWidget>

#include "platform/desktop/chart_dialogs.h"

namespace vambrio::platform {

class QtChartDialogs final : public ChartDialogs {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }
  std::string OpenChart(const std::string& startPath) override;
  std::string SaveChart(const std::string& startPath) override;
  std::string ExportFile(const std::string& startPath, const std::string& suffix) override;
  std::string OpenBank(const std::string& startPath) override;
  std::string SaveBank(const std::string& startPath) override;
  void Show(const std::string& text) override;

 private:
  std::string Run(const QString& title, const std::string& startPath, const QString& filter, const QString& suffix,
                  bool save);
  QWidget* parent_ = nullptr;
};

}  // namespace vambrio::platform
