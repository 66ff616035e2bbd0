// The set list's songs played in the Arranger window: its style opened for
// a song, the chart put in its chart pane and played with the song's
// count-in and transpose.
#pragma once

#include <QMetaObject>
#include <functional>
#include <string>

#include "shell/songs/song_stage.h"

namespace vambrio {

class frmArranger;

class ArrangerStage final : public SongStage {
 public:
  // arranger: the Arranger window, made and shown when first asked for;
  // mainStyle: the main window's style, for songs that name none while the
  // Arranger has none yet.
  ArrangerStage(std::function<frmArranger&()> arranger, std::function<std::string()> mainStyle);
  ~ArrangerStage() override;

  std::string CurrentStyle() const override;
  std::string UseStyle(const std::string& path, songs::StyleShape& shape) override;
  std::string Recall(const registration::Registration& setUp) override;
  std::string Play(const songs::PreparedSong& song, int transpose) override;
  void Stop() override;
  bool Playing() const override;
  void WhenStopped(std::function<void(bool ended)> then) override { then_ = std::move(then); }

 private:
  frmArranger& Window();

  std::function<frmArranger&()> arranger_;
  std::function<std::string()> mainStyle_;
  std::function<void(bool)> then_;
  frmArranger* window_ = nullptr;  // once asked for
  QMetaObject::Connection ended_;
};

}  // namespace vambrio
