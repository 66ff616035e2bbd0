// The test classes of the main window; main.cpp runs them all.
#pragma once

#include <QObject>

namespace vambrio::test {

class StartupTest : public QObject {
  Q_OBJECT
 private slots:
  void firstRunWithoutSettingsFile();
  void settingsFileIsAppliedAndWrittenBack_data();
  void settingsFileIsAppliedAndWrittenBack();
  void unreadableSettingsFileIsReportedAndDefaultsApply();
  void quotedCommandLinePathIsLoadedOnceShown();
  void startedHiddenTheStyleLoadsAndClosingTheArrangerEnds();
  void startupConfiguresTheSequencerAndStopsNothing();
  void mixerStartupSetsHalfTheRangeAndFollowsTheSlider();
  void mixerThatCannotBeOpenedIsSaidAndStartupGoesOn();
  void mixerWithoutVolumeControlDisablesTheSlider();
  void exitWhenStoppedWritesSettingsAndClosesTheDevice();
};

class OpenTest : public QObject {
  Q_OBJECT
 private slots:
  void loadedStyleFillsTheWindow();
  void demoStyleFromTheCommandLine();
  void fileNamesAreShownEscaped();
  void styleWithMalformedDataBytesLoadsAndSaysSo();
  void missingFileCannotBeOpenedAndTheStyleBeforePlays();
  void fileThatCannotBeProcessedKeepsTheOldLabels();
  void cancelledOpenDialogKeepsTheStyleAndStopsPlayback();
  void droppedFileIsOpenedAndTextIsIgnored();
  void dropDuringPlaybackStopsItFirst();
  void gmBoxChangesItsCaptionAndReloads();
  void checkAllAndUncheckAll();
  void recentStylesAreListedNewestFirstAndOpen();
};

class PlaybackTest : public QObject {
  Q_OBJECT
 private slots:
  void playWithoutStyleAsksForOne();
  void playAndStopOneSection();
  void enterPressesTheDefaultButton();
  void doubleClickPlaysTheEntry();
  void allSectionsFollowsTheList();
  void stopDuringAllSectionsSelectsAllSections();
  void repeatPlaysAgainUntilTurnedOff();
  void reloadDuringPlaybackKeepsStopUsable();
  void noSoundFontSaysSoInsteadOfPlaying();
};

class SeamlessTest : public QObject {
  Q_OBJECT
 private slots:
  void playsAtOnceOverTheChoicesAndFollowsThem();
  void allSectionsShowsEachSectionAndEndsReady();
  void offPlaysTheClassicWayAndTheChoiceIsKept();
};

class CloseTest : public QObject {
  Q_OBJECT
 private slots:
  void closeBoxDuringPlaybackIsRefused();
  void exitMenuDuringPlaybackIsRefused();
  void sessionEndingDuringPlaybackIsNotRefused();
};

class SoundSettingsTest : public QObject {
  Q_OBJECT
 private slots:
  void chosenSoundFontIsKeptBesideTheSettingsFile();
  void audioOutputMenuListsTheDriversAndKeepsTheChoice();
  void audioLatencyIsChosenKeptAndHandedOn();
  void underrunsAppearInTheStatusBar();
  void voiceChoicesAreKeptSharedAndShownOnThePartSwitches();
};

class EditingTest : public QObject {
  Q_OBJECT
 private slots:
  void setAndUndoFollowTheSliderAndKeepTheirStatesAcrossALoad();
  void setWhilePlayingEndsThePlayback();
  void setWithoutAnAverageChangesNothing();
  void commandsWithoutAStyle();
  void addVolumeEventsDialogInsertsOnOkOnly();
  void styleWithoutSIntGetsNoVolumeEvents();
  void tempoEditFromTheLabelAndTheMenu();
  void saveStyleAsksWritesAndRefuses();
  void afterAFailedLoadTheStyleBeforeIsEdited();
  void demoEditsSurviveSaveAndReloadInTheWindowAndTheTool();
};

class LookTest : public QObject {
  Q_OBJECT
 private slots:
  void controlsCarryTheirCaptionsAndToolTips();
  void menusAreInOrderAndAct();
  void playAndStopCarryMediaIcons();
  void everyCaptionIsShownInFull();
  void screenshotIsNotBlank();
  void optionsMenuPicture();
};

}  // namespace vambrio::test
