#include "app/pattern_dialogs.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "app/pattern_setup.h"
#include "pattern/pattern_print.h"
#include "pattern/vector_import.h"
#include "settings/keys.h"

namespace kelvaro {

PatternSetupModel::PatternSetupModel(AppContext& app, PatternSetupHooks hooks)
    : app_(app),
      hooks_(std::move(hooks)),
      unit_(ReadUnit(app.store)),
      settings_(OpenPatternSetup(app.store)) {
  FillShapes(settings_.shape);
}

void PatternSetupModel::FillShapes(const std::string& selected) {
  const ShapeListing library = ListShapes(StoredShapeLibraryPath(app_.store));
  if (!library.message.empty()) {
    app_.notifier().Show(kReplaceShapeCaption, library.message, MessageIcon::kError);
  }
  shapes_ = PatternShapeChoices(library);
  // A stored name the list does not hold any more is kept, so that saving does not change it.
  const auto found = std::find(shapes_.begin(), shapes_.end(), selected);
  if (found == shapes_.end() && !selected.empty()) shapes_.push_back(selected);
  const auto at = std::find(shapes_.begin(), shapes_.end(), selected);
  shape_index_ = at == shapes_.end() ? 0 : static_cast<int>(at - shapes_.begin());
  settings_.shape = shapes_[shape_index_];
}

void PatternSetupModel::ChooseShape(int index) {
  if (index < 0 || index >= static_cast<int>(shapes_.size())) return;
  shape_index_ = index;
  settings_.shape = shapes_[index];
}

void PatternSetupModel::RefillShapes() { FillShapes(settings_.shape); }

int PatternSetupModel::angle_index() const { return settings_.screen_angle == 0 ? 1 : 0; }

void PatternSetupModel::ChooseAngle(int index) {
  settings_.screen_angle = kPatternScreenAngles[index == 1 ? 1 : 0];
}

double& PatternSetupModel::Millimetres(Length length) {
  switch (length) {
    case Length::kHeight:
      return settings_.size_y_mm;
    case Length::kWidth:
      return settings_.size_x_mm;
    default:
      return settings_.gap_mm;
  }
}

double PatternSetupModel::Millimetres(Length length) const {
  return const_cast<PatternSetupModel*>(this)->Millimetres(length);
}

int PatternSetupModel::SliderMaximum(Length length) const {
  return length == Length::kGap ? kPatternGapSliderMaximum : kPatternSizeSliderMaximum;
}

int PatternSetupModel::SliderPosition(Length length) const {
  const double mm = Millimetres(length);
  return length == Length::kGap ? PatternGapSliderPosition(mm) : PatternSizeSliderPosition(mm);
}

std::string PatternSetupModel::Text(Length length) const {
  const double mm = Millimetres(length);
  return length == Length::kGap ? PatternGapText(mm, unit_) : PatternSizeText(mm, unit_);
}

void PatternSetupModel::MoveSlider(Length length, int position) {
  Millimetres(length) =
      length == Length::kGap ? PatternGapFromSlider(position) : PatternSizeFromSlider(position);
}

void PatternSetupModel::Type(Length length, std::string_view text) {
  Millimetres(length) =
      length == Length::kGap ? PatternGapFromText(text, unit_) : PatternSizeFromText(text, unit_);
}

void PatternSetupModel::Invert(bool inverted) {
  settings_.inverted = inverted;
  SavePatternInversion(app_.store, inverted);
  if (hooks_.redraw_main_preview) hooks_.redraw_main_preview();
}

void PatternSetupModel::Save() { SavePatternSetup(app_.store, settings_); }

void PatternSetupModel::Print() {
  Save();
  if (hooks_.print) hooks_.print();
}

std::optional<ShapeRecord> PatternSetupModel::PreviewShape() const {
  if (ClassifyPatternShape(settings_.shape) != PatternShapeKind::kLibrary) return std::nullopt;
  return LoadShape(StoredShapeLibraryPath(app_.store), settings_.shape).shape;
}

PatternLibraryModel::PatternLibraryModel(AppContext& app) : app_(app) {
  const ShapeListing listing = ListShapes(StoredShapeLibraryPath(app_.store));
  const std::size_t shown = std::min<std::size_t>(listing.names.size(), kMaxEditedShapes);
  entries_.assign(listing.names.begin(), listing.names.begin() + shown);
  if (!listing.message.empty()) {
    app_.notifier().Show(kCleanUpErrorCaption, listing.message, MessageIcon::kError);
  }
}

void PatternLibraryModel::Toggle(int row) {
  if (row < 0 || row >= static_cast<int>(entries_.size())) return;
  entries_[row] = ToggleRemovalMark(entries_[row]);
}

void PatternLibraryModel::RemoveMarked() {
  const std::vector<std::string> names = MarkedShapeNames(entries_);
  if (names.empty()) return;
  const RemoveShapesResult removed = RemoveShapes(StoredShapeLibraryPath(app_.store), names);
  if (!removed.ok()) {
    app_.notifier().Show(kCleanUpErrorCaption, removed.message, MessageIcon::kError);
  }
}

PatternImportModel::PatternImportModel(AppContext& app, PatternDialogChoices choices)
    : app_(app),
      choices_(std::move(choices)),
      unit_(ReadUnit(app.store)),
      gap_mm_(OpenImportGap(app.store)) {}

std::string PatternImportModel::GapText() const { return ImportLengthText(gap_mm_, unit_); }

void PatternImportModel::TypeGap(std::string_view text) {
  gap_mm_ = ImportGapFromText(text, unit_);
}

void PatternImportModel::ChooseAngle(int index) {
  angle_ = kPatternScreenAngles[index == 1 ? 1 : 0];
}

int PatternImportModel::BaseGapSliderPosition() const {
  return SliderFromBaseGap(base_gap(angle_));
}

std::string PatternImportModel::BaseGapText() const {
  return kelvaro::BaseGapText(base_gap(angle_), unit_);
}

void PatternImportModel::MoveBaseGap(int position) {
  base_gap_[angle_ == 0 ? 0 : 1] = BaseGapFromSlider(position);
}

void PatternImportModel::TypeBaseGap(std::string_view text) {
  base_gap_[angle_ == 0 ? 0 : 1] = BaseGapFromText(text, unit_);
}

std::string PatternImportModel::StartFolder() const {
  return app_.store.ReadSetting(keys::pattern_import::kFolder);
}

bool PatternImportModel::Import(const std::string& path) {
  const std::filesystem::path file(path);
  app_.store.WriteSetting(keys::pattern_import::kFolder, file.parent_path().string());
  VectorImportResult imported = ImportVectorShape(file);
  if (!imported.ok()) {
    if (!imported.message.empty()) {
      app_.notifier().Show(kConversionFailedTitle, imported.message, MessageIcon::kError);
    }
    return false;
  }
  shape_ = std::move(imported.shape);
  return true;
}

void PatternImportModel::Save(std::string_view typed_name,
                              const ReplaceShapeQuestion& ask_replace) {
  if (!shape_) return;
  const ShapeRecord record = ShapeForLibrary(*shape_, typed_name, base_gap(0), base_gap(45));
  const StoreShapeResult stored =
      StoreShape(StoredShapeLibraryPath(app_.store), record, ask_replace);
  if (!stored.message.empty()) {
    app_.notifier().Show(stored.caption, stored.message, MessageIcon::kError);
  }
}

PatternSettings PatternImportModel::PreviewSettings() const {
  PatternSettings settings = NormalisePatternSettings(ReadPatternSettings(app_.store));
  settings.shape.clear();  // whatever its name, the imported shape is drawn
  settings.gap_mm = gap_mm_;
  settings.screen_angle = angle_;
  settings.inverted = false;
  return settings;
}

std::optional<ShapeRecord> PatternImportModel::PreviewShape() const {
  if (!shape_) return std::nullopt;
  return ShapeForLibrary(*shape_, shape_->name, base_gap(0), base_gap(45));
}

}  // namespace kelvaro
