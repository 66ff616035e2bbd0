// The sound source and the keyboard's input as the Options menu chooses them,
// on fake MIDI ports: Play and the live output go to the chosen port and
// back, the keyboard's readers keep their inputs while the choice changes,
// and a MIDI system that cannot be reached leaves the built-in synthesizer.
#include <QTest>
#include <chrono>
#include <thread>

#include "fakes/fake_live_output.h"
#include "fakes/fake_midi.h"
#include "fakes/fake_sequencer.h"
#include "shell/midi/sound_routing.h"

namespace vambrio::test {

// Sends one note-on in its first block.
class OneNote final : public realtime::RealtimeClient {
 public:
  void Process(const realtime::BlockInfo&, realtime::RealtimeEventSink& events) override {
    if (!sent_) events.Add(realtime::RealtimeEvent::Short(0, 0x92, 64, 99));
    sent_ = true;
  }

 private:
  bool sent_ = false;
};

class SoundRoutingTest : public QObject {
  Q_OBJECT

  struct Rig {
    explicit Rig(bool reachable = true) {
      auto owned = std::make_unique<FakeMidiSystem>();
      system = owned.get();
      system->inputs = {"USB Keys"};
      system->outputs = {"MU Synth"};
      routing = std::make_unique<SoundRouting>(
          builtIn, [this]() -> platform::LiveOutput& { return builtInLive; },
          [owned = std::shared_ptr<FakeMidiSystem>(std::move(owned)), reachable]() mutable
          -> std::unique_ptr<platform::MidiSystem> {
            if (!reachable || !owned) return std::make_unique<Unreachable>();
            return std::unique_ptr<platform::MidiSystem>(new Forwarding(std::move(owned)));
          },
          clock);
    }
    // The fake itself stays reachable to the test through `system`.
    class Forwarding final : public platform::MidiSystem {
     public:
      explicit Forwarding(std::shared_ptr<FakeMidiSystem> s) : s_(std::move(s)) {}
      std::string ApiName() const override { return s_->ApiName(); }
      std::string Problem() const override { return s_->Problem(); }
      std::vector<std::string> InputPorts() override { return s_->InputPorts(); }
      std::vector<std::string> OutputPorts() override { return s_->OutputPorts(); }
      std::unique_ptr<platform::MidiInPort> OpenInput(const std::string& p) override { return s_->OpenInput(p); }
      std::unique_ptr<platform::MidiOutPort> OpenOutput(const std::string& p) override { return s_->OpenOutput(p); }
      std::unique_ptr<platform::MidiInPort> OpenVirtualInput(const std::string& n) override {
        return s_->OpenVirtualInput(n);
      }
      std::unique_ptr<platform::MidiOutPort> OpenVirtualOutput(const std::string& n) override {
        return s_->OpenVirtualOutput(n);
      }

     private:
      std::shared_ptr<FakeMidiSystem> s_;
    };
    class Unreachable final : public platform::MidiSystem {
     public:
      std::string ApiName() const override { return {}; }
      std::string Problem() const override { return "No JACK server is running."; }
      std::vector<std::string> InputPorts() override { return {}; }
      std::vector<std::string> OutputPorts() override { return {}; }
      std::unique_ptr<platform::MidiInPort> OpenInput(const std::string&) override { return nullptr; }
      std::unique_ptr<platform::MidiOutPort> OpenOutput(const std::string&) override { return nullptr; }
      std::unique_ptr<platform::MidiInPort> OpenVirtualInput(const std::string&) override { return nullptr; }
      std::unique_ptr<platform::MidiOutPort> OpenVirtualOutput(const std::string&) override { return nullptr; }
    };

    FakeSequencer builtIn;
    FakeLiveOutput builtInLive;
    platform::SystemMonoClock clock;
    FakeMidiSystem* system = nullptr;
    std::unique_ptr<SoundRouting> routing;
  };

  static bool Arrives(FakeMidiOut* port, const std::vector<uint8_t>& bytes) {
    for (int i = 0; i < 2000; ++i) {
      for (const auto& m : port->Sent())
        if (m.bytes == bytes) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }

 private slots:
  void theLiveOutputAndPlayFollowTheSoundSource() {
    Rig rig;
    QCOMPARE(rig.routing->OutputPorts(), std::vector<std::string>{"MU Synth"});
    QVERIFY(&rig.routing->LiveOutput() == &rig.builtInLive);
    rig.routing->SetFileName("/nowhere/Player.tmp");
    QVERIFY(rig.routing->Command("open"));
    QCOMPARE(rig.builtIn.log.back(), std::string("open"));

    QVERIFY(rig.routing->ChooseSoundSource("MU Synth"));
    QCOMPARE(rig.builtInLive.released, 1);
    QVERIFY(rig.routing->SoundSourceConnected());
    QVERIFY(&rig.routing->LiveOutput() != &rig.builtInLive);
    OneNote note;
    int takenAway = 0;
    QVERIFY(rig.routing->LiveOutput().AttachLiveClient(note, [&] { ++takenAway; }, nullptr));
    QVERIFY(Arrives(rig.system->openOut["MU Synth"], {0x92, 64, 99}));
    const size_t builtInCommands = rig.builtIn.log.size();
    QVERIFY(!rig.routing->Command("open"));  // the port's sequencer: no such file
    QCOMPARE(rig.builtIn.log.size(), builtInCommands);
    QCOMPARE(takenAway, 1);
    QVERIFY(Arrives(rig.system->openOut["MU Synth"], {0xBF, 121, 0}));  // silenced in between

    QVERIFY(rig.routing->ChooseSoundSource(""));  // back to the built-in synthesizer
    QVERIFY(&rig.routing->LiveOutput() == &rig.builtInLive);
    QVERIFY(rig.routing->Command("open"));
    QCOMPARE(rig.builtIn.log.back(), std::string("open"));
  }

  void theKeyboardsReadersFollowTheChosenInput() {
    Rig rig;
    const std::vector<platform::MidiInPort*> readers = rig.routing->KeyboardInputs();
    QCOMPARE(readers.size(), size_t{2});
    rig.routing->ChooseInput("USB Keys");
    QVERIFY(rig.routing->InputConnected());
    rig.system->openIn["USB Keys"]->Receive({0x90, 60, 100});
    platform::MidiMessage m;
    QVERIFY(readers[0]->Pop(m));
    QCOMPARE(int{m.bytes[1]}, 60);

    rig.routing->ChooseInput(platform::kVirtualInName);
    QVERIFY(rig.routing->InputConnected());
    QVERIFY(readers[0]->Pop(m));
    QCOMPARE(int{m.bytes[0]}, 0xFF);  // the keys held on the old port are let go
    QVERIFY(!readers[0]->Pop(m));
    rig.system->openIn[platform::kVirtualInName]->Receive({0x90, 62, 100});
    QVERIFY(readers[1]->Pop(m));
    QCOMPARE(int{m.bytes[1]}, 62);
  }

  void anUnreachableMidiSystemLeavesTheBuiltInSynthesizer() {
    Rig rig(false);
    QCOMPARE(rig.routing->Problem(), std::string("No JACK server is running."));
    QVERIFY(rig.routing->OutputPorts().empty());
    QVERIFY(!rig.routing->ChooseSoundSource("MU Synth"));
    QCOMPARE(rig.routing->SoundSource(), std::string());
    QVERIFY(&rig.routing->LiveOutput() == &rig.builtInLive);
    rig.routing->ChooseInput("USB Keys");  // kept, not connected
    QCOMPARE(rig.routing->Input(), std::string("USB Keys"));
    QVERIFY(!rig.routing->InputConnected());
  }
};

}  // namespace vambrio::test

QTEST_GUILESS_MAIN(vambrio::test::SoundRoutingTest)
#include "sound_routing_test.moc"
