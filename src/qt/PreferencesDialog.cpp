#include "qt/PreferencesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>

namespace shiori {

std::filesystem::path PreferencesFile() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return std::filesystem::path(config.toStdString()) / "shiori" / "shiori.conf";
}

PreferencesDialog::PreferencesDialog(const Preferences& initial, std::filesystem::path file,
                                     std::function<void(const Preferences&)> apply, QWidget* parent)
    : QDialog(parent), preferences_(initial), file_(std::move(file)), apply_(std::move(apply)) {
  setWindowTitle(QStringLiteral("設定"));
  auto* form = new QFormLayout;

  auto* volume = new QSlider(Qt::Horizontal);
  auto* volume_number = new QSpinBox;
  volume->setObjectName(QStringLiteral("volume"));
  volume->setRange(0, Preferences::kMaxVolume);
  volume_number->setRange(0, Preferences::kMaxVolume);
  volume->setValue(initial.music_volume);
  volume_number->setValue(initial.music_volume);
  connect(volume, &QSlider::valueChanged, volume_number, &QSpinBox::setValue);
  connect(volume_number, &QSpinBox::valueChanged, volume, &QSlider::setValue);
  connect(volume, &QSlider::valueChanged, this,
          [this](int value) { Change([value](Preferences& p) { p.music_volume = value; }); });
  auto* volume_row = new QHBoxLayout;
  volume_row->addWidget(volume, 1);
  volume_row->addWidget(volume_number);
  // A label of its own with its buddy: a row given a layout would show the "&" of the mnemonic as it stands.
  auto* volume_label = new QLabel(QStringLiteral("音楽の音量(&V)"));
  volume_label->setBuddy(volume);
  form->addRow(volume_label, volume_row);

  // The game's own setting until the reader chooses here; "instant" is the player's, not the game's.
  auto* speed = new QComboBox;
  speed->setObjectName(QStringLiteral("textSpeed"));
  speed->addItem(QStringLiteral("ゲームの設定のまま"), -1);
  speed->addItem(QStringLiteral("速い"), 1);
  speed->addItem(QStringLiteral("普通"), 2);
  speed->addItem(QStringLiteral("遅い"), 3);
  speed->addItem(QStringLiteral("瞬時（一度に表示）"), 0);
  speed->setCurrentIndex(std::max(0, speed->findData(initial.text_speed.value_or(-1))));
  connect(speed, &QComboBox::currentIndexChanged, this, [this, speed](int index) {
    const int chosen = speed->itemData(index).toInt();
    Change([chosen](Preferences& p) { p.text_speed = chosen < 0 ? std::nullopt : std::optional<int>(chosen); });
  });
  form->addRow(QStringLiteral("文字の速さ(&S)"), speed);

  auto* delay = new QSpinBox;
  delay->setObjectName(QStringLiteral("autoDelay"));
  delay->setRange(Preferences::kMinAutoDelayMs, Preferences::kMaxAutoDelayMs);
  delay->setSingleStep(100);
  delay->setSuffix(QStringLiteral(" ミリ秒"));
  delay->setValue(initial.auto_delay);
  connect(delay, &QSpinBox::valueChanged, this,
          [this](int value) { Change([value](Preferences& p) { p.auto_delay = value; }); });
  form->addRow(QStringLiteral("オートモードの待ち時間(&A)"), delay);

  auto* shows_page = new QCheckBox(QStringLiteral("文字の表示中にクリックすると、次の区切りまでを一度に表示する(&T)"));
  shows_page->setObjectName(QStringLiteral("clickShowsPage"));
  shows_page->setChecked(initial.click_shows_page);
  connect(shows_page, &QCheckBox::toggled, this,
          [this](bool on) { Change([on](Preferences& p) { p.click_shows_page = on; }); });
  auto* keeps_click = new QCheckBox(QStringLiteral("矢印が出る前のクリックも取っておく(&K)"));
  keeps_click->setObjectName(QStringLiteral("keepEarlyClick"));
  keeps_click->setChecked(initial.keep_early_click);
  connect(keeps_click, &QCheckBox::toggled, this,
          [this](bool on) { Change([on](Preferences& p) { p.keep_early_click = on; }); });
  auto* pacing_note =
      new QLabel(QStringLiteral("この二つは元の読み味を変えるため、初めは切ってあります。\n両方を入れると、クリックが失"
                                "われることはありません。"));
  pacing_note->setWordWrap(true);

  problem_ = new QLabel;
  problem_->setWordWrap(true);
  problem_->hide();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(shows_page);
  layout->addWidget(keeps_click);
  layout->addWidget(pacing_note);
  layout->addWidget(VoiceAndTextOut(initial));
  layout->addWidget(problem_);
  layout->addWidget(buttons);
}

QWidget* PreferencesDialog::VoiceAndTextOut(const Preferences& initial) {
  auto* group = new QGroupBox(QStringLiteral("読み上げと文章の書き出し"));
  auto* voicing = new QCheckBox(QStringLiteral("ページ・選択肢・選んだ項目を読み上げる（V キー）(&R)"));
  voicing->setObjectName(QStringLiteral("selfVoicing"));
  voicing->setChecked(initial.self_voicing);
  connect(voicing, &QCheckBox::toggled, this,
          [this](bool on) { Change([on](Preferences& p) { p.self_voicing = on; }); });
  auto* copy = new QCheckBox(QStringLiteral("ページの文章を表示のたびにクリップボードへ写す（辞書・翻訳用）(&C)"));
  copy->setObjectName(QStringLiteral("copyPageText"));
  copy->setChecked(initial.copy_page_text);
  connect(copy, &QCheckBox::toggled, this,
          [this](bool on) { Change([on](Preferences& p) { p.copy_page_text = on; }); });
  auto* rate = new QSpinBox;
  rate->setObjectName(QStringLiteral("speechRate"));
  rate->setRange(Preferences::kMinSpeechRate, Preferences::kMaxSpeechRate);
  rate->setSingleStep(10);
  rate->setSuffix(QStringLiteral(" %"));
  rate->setValue(initial.speech_rate);
  connect(rate, &QSpinBox::valueChanged, this,
          [this](int value) { Change([value](Preferences& p) { p.speech_rate = value; }); });
  voice_ = new QComboBox;
  voice_->setObjectName(QStringLiteral("speechVoice"));
  SetVoices({});
  connect(voice_, &QComboBox::activated, this, [this](int index) {
    const std::string name = voice_->itemData(index).toString().toStdString();
    Change([name](Preferences& p) { p.speech_voice = name; });
  });
  auto* rows = new QFormLayout;
  rows->addRow(voicing);
  rows->addRow(QStringLiteral("読み上げの速さ(&S)"), rate);
  rows->addRow(QStringLiteral("声(&O)"), voice_);
  rows->addRow(copy);
  group->setLayout(rows);
  return group;
}

void PreferencesDialog::SetVoices(const QStringList& voices) {
  const QString chosen = QString::fromStdString(preferences_.speech_voice);
  voice_->clear();
  voice_->addItem(QStringLiteral("システムの日本語の声"), QString());
  if (!chosen.isEmpty() && !voices.contains(chosen)) voice_->addItem(chosen, chosen);
  for (const QString& voice : voices) voice_->addItem(voice, voice);
  voice_->setCurrentIndex(std::max(0, voice_->findData(chosen)));
}

void PreferencesDialog::Change(const std::function<void(Preferences&)>& change) {
  change(preferences_);
  apply_(preferences_);
  const Status saved = preferences_.Save(file_);
  problem_->setVisible(!saved.ok());
  if (!saved) problem_->setText(QStringLiteral("設定を保存できませんでした：") + QString::fromStdString(saved.error()));
}

}  // namespace shiori
