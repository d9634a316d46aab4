// The enumeration tables, in table order, and the instances of the triple
// class that the program exports. Identifiers above 0 name texts of the
// resource libraries; -1 marks a row without a translatable text.
#include "storage/tables/KEnumTables.h"

#define QUELM_TABLE_FUNCTION(E, ...)                                  \
  template class KEnumTrpl<E>;                                        \
  void getTripleArray(KEnumTrpl<E>*& table, long& count) {            \
    static KEnumTrpl<E> rows[] = {__VA_ARGS__};                       \
    table = rows;                                                     \
    count = static_cast<long>(sizeof(rows) / sizeof(rows[0]));        \
  }

QUELM_TABLE_FUNCTION(KEnum::InheritAttrType,
    {KEnum::InheritAttrType::None, "None", 12791},
    {KEnum::InheritAttrType::All, "All", 10034},
    {KEnum::InheritAttrType::Geometric, "Geometric", 22846},
    {KEnum::InheritAttrType::Material, "Material", 22848},
    {KEnum::InheritAttrType::SupportsFromFirstLoadcase, "Supports from first loadcase", 22849},
    {KEnum::InheritAttrType::CableShapeFromFirstLoadcase, "Cable shape from first loadcase", 50190},
    {KEnum::InheritAttrType::ConstraintEquations, "Constraint equations", 22850},
    {KEnum::InheritAttrType::ScriptedAttributes, "Scripted attributes", 22851},
    {KEnum::InheritAttrType::RadiationThermalSurfaces, "Radiation/thermal surfaces", 22860},
    {KEnum::InheritAttrType::SectionPropertyModifiers, "Section property modifiers", 48342})

QUELM_TABLE_FUNCTION(KEnum::LinesLabelAxis,
    {KEnum::LinesLabelAxis::x, "x", -1},
    {KEnum::LinesLabelAxis::xy, "xy", -1},
    {KEnum::LinesLabelAxis::xz, "xz", -1},
    {KEnum::LinesLabelAxis::Fixed, "Fixed", -1})

QUELM_TABLE_FUNCTION(KEnum::SurfacesLabelAxis,
    {KEnum::SurfacesLabelAxis::xy, "xy", -1},
    {KEnum::SurfacesLabelAxis::Fixed, "Fixed", -1})

QUELM_TABLE_FUNCTION(KSharedEnums::KSharedEnum::LoadcaseType,
    {KSharedEnums::KSharedEnum::LoadcaseType::Loadcase, "loadcase", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::ResultsLoadcase, "results loadcase", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::Combination, "combination", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::Envelope, "envelope", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::FatigueLoadcase, "fatigue loadcase", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::VanticLoadcase, "Vantic loadcase", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::SmartCombination, "smart combination", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::StandardLoadcurve, "standard loadcurve", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::VariationLoadcurve, "variation loadcurve", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::TableLoadcurve, "table loadcurve", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::EnvelopeAbs, "envelope abs", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::TableLoadcurveTabulated, "table loadcurve", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::CableTuning, "cable tuning", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::Influence, "influence", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::CableTuningTargets, "cable tuning", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::NonLinearCableTuning, "non linear cable tuning", -1},
    {KSharedEnums::KSharedEnum::LoadcaseType::ResultsContainerLoadset, "results container loadset", -1})

QUELM_TABLE_FUNCTION(KEnum::LocalCoordsSubType,
    {KEnum::LocalCoordsSubType::Cartesian, "Cartesian", -1},
    {KEnum::LocalCoordsSubType::XCylindrical, "X_Cylindrical", -1},
    {KEnum::LocalCoordsSubType::XSpherical, "X_Spherical", -1},
    {KEnum::LocalCoordsSubType::YCylindrical, "Y_cylindrical", -1},
    {KEnum::LocalCoordsSubType::YSpherical, "Y_spherical", -1},
    {KEnum::LocalCoordsSubType::ZCylindrical, "Z_Cylindrical", -1},
    {KEnum::LocalCoordsSubType::ZSpherical, "Z_Spherical", -1},
    {KEnum::LocalCoordsSubType::Surface, "Surface", -1},
    {KEnum::LocalCoordsSubType::YNewCylindrical, "Y_new_cylindrical", -1})

QUELM_TABLE_FUNCTION(MiscEnums,
    {MiscEnums::NoKind, "None", 12791},
    {MiscEnums::AllKinds, "All", 10034},
    {MiscEnums::None, "None", -1},
    {MiscEnums::Point, "Point", 12953},
    {MiscEnums::Line, "Line", 12321},
    {MiscEnums::CombinedLine, "Combined Line", 10317},
    {MiscEnums::Surface, "Surface", 13820},
    {MiscEnums::Volume, "Volume", 14571},
    {MiscEnums::Node, "Node", 12786},
    {MiscEnums::Edge, "Edge", 10653},
    {MiscEnums::Face, "Face", 10816},
    {MiscEnums::Element, "Element", 10687},
    {MiscEnums::TextAnnotation, "Text Annotation", 13967},
    {MiscEnums::LineAnnotation, "Line Annotation", 12263},
    {MiscEnums::PolygonAnnotation, "Polygon Annotation", 12958},
    {MiscEnums::BitmapAnnotation, "Bitmap Annotation", 10178},
    {MiscEnums::ArrowAnnotation, "Arrow Annotation", 10093},
    {MiscEnums::SymbolAnnotation, "Symbol Annotation", 13845},
    {MiscEnums::AnnotationBlock, "Annotation block", 17206},
    {MiscEnums::BackgroundGrid, "Background Grid", 10163},
    {MiscEnums::ReferencePath, "Reference Path", 19350},
    {MiscEnums::Group, "Group", 11635},
    {MiscEnums::Loadcase, "Loadcase", 12358},
    {MiscEnums::UserData, "User data", 11629},
    {MiscEnums::Mesh, "Mesh", 12488},
    {MiscEnums::Geometry, "Geometry", 47555},
    {MiscEnums::Annotation, "Annotation", 10086},
    {MiscEnums::Report, "Report", 14439},
    {MiscEnums::ObjectsToDrape, "Objects To Drape", 19478},
    {MiscEnums::LayoutGrid, "Layout Grid", 24742},
    {MiscEnums::InspectionLine, "Inspection Line", 24893},
    {MiscEnums::RailTrackDefinition, "Rail Track Definition", 28732},
    {MiscEnums::RailTrackLayout, "Rail Track Layout", 28733})

QUELM_TABLE_FUNCTION(KEnum::ModelObjects,
    {KEnum::ModelObjects::GeometryAndMeshExcVolumes, "Geometry and mesh (exc. volumes)", 10843},
    {KEnum::ModelObjects::GeometryAndMeshIncVolumes, "Geometry and Mesh (inc. volumes)", 10844},
    {KEnum::ModelObjects::GeometryOnly, "Geometry Only", 10845},
    {KEnum::ModelObjects::MeshOnlyExcVolumes, "Mesh Only (exc. volumes)", 12508},
    {KEnum::ModelObjects::MeshOnlyIncVolumes, "Mesh Only (inc. volumes)", 12509},
    {KEnum::ModelObjects::NodesOnly, "Nodes Only", 12788},
    {KEnum::ModelObjects::GeometryAndAssignments, "Geometry and assignments", 25174},
    {KEnum::ModelObjects::AttributesOnly, "Attributes only", 50613},
    {KEnum::ModelObjects::AnalysesOnly, "Analyses only", 50614},
    {KEnum::ModelObjects::AnalysesAttributesAndAssignments, "Analyses, attributes and assignments", 50615})

QUELM_TABLE_FUNCTION(KEnum::ModelSection,
    {KEnum::ModelSection::All, "All", 10034},
    {KEnum::ModelSection::Selected, "Selected", 10788},
    {KEnum::ModelSection::Visible, "Visible", 10789},
    {KEnum::ModelSection::Memory, "Memory", 10787},
    {KEnum::ModelSection::Results, "Results", -1},
    {KEnum::ModelSection::CurrentWindow, "Current Window", 15997},
    {KEnum::ModelSection::CurrentTab, "Current Tab", 19856},
    {KEnum::ModelSection::AllTabs, "All Tabs", 19857})

QUELM_TABLE_FUNCTION(KEnum::ProjectionType,
    {KEnum::ProjectionType::Orthographic, "Orthographic", -1},
    {KEnum::ProjectionType::FreePerspective, "FreePerspective", -1},
    {KEnum::ProjectionType::FixedPerspective, "FixedPerspective", -1})

QUELM_TABLE_FUNCTION(KEnum::TreeItemType,
    {KEnum::TreeItemType::Loadcase, "Loadcase", 12358},
    {KEnum::TreeItemType::Combination, "Combination", 10225},
    {KEnum::TreeItemType::Envelope, "Envelope", 10712},
    {KEnum::TreeItemType::VanticLoadcase, "VanticLoadcase", 11798},
    {KEnum::TreeItemType::TargetValuesLoadset, "Target values loadset", 23580},
    {KEnum::TreeItemType::CableTuning, "Cable tuning", 23581},
    {KEnum::TreeItemType::ResultsContainerLoadset, "Results container loadset", 49986})

QUELM_TABLE_FUNCTION(KEnum::mergeOptions,
    {KEnum::mergeOptions::Off, "Off", 12464},
    {KEnum::mergeOptions::Exact, "Exact", 12462},
    {KEnum::mergeOptions::Wild, "Wild", 12465},
    {KEnum::mergeOptions::Ignore, "Ignore", 48025})

QUELM_TABLE_FUNCTION(KEnum::toolBarId,
    {KEnum::toolBarId::Main, "Main", 12402},
    {KEnum::toolBarId::Define, "Define", 10555},
    {KEnum::toolBarId::ViewTools, "View Tools", 14500},
    {KEnum::toolBarId::AdvancedDefine, "Advanced Define", 10028},
    {KEnum::toolBarId::AnimationBuilder, "Animation Builder Toolbar", 14012},
    {KEnum::toolBarId::AnnotationTools, "Annotation Tools", 10087},
    {KEnum::toolBarId::VisibilitySelection, "Visibility/Selection", 13575},
    {KEnum::toolBarId::Modalux, "Modalux", 24223},
    {KEnum::toolBarId::Results, "Results", 24700},
    {KEnum::toolBarId::BridgeWizard, "Bridge Wizard", 50336})

QUELM_TABLE_FUNCTION(KSharedEnums::KSharedEnum::timescale,
    {KSharedEnums::KSharedEnum::timescale::Seconds, "Seconds", 47690},
    {KSharedEnums::KSharedEnum::timescale::Minutes, "Minutes", 24307},
    {KSharedEnums::KSharedEnum::timescale::Hours, "Hours", 47670},
    {KSharedEnums::KSharedEnum::timescale::Days, "Days", 47671},
    {KSharedEnums::KSharedEnum::timescale::Increments, "Increments", 24863})

QUELM_TABLE_FUNCTION(KEnum::ModellerType,
    {KEnum::ModellerType::Standard, "Standard", 62101},
    {KEnum::ModellerType::Solid, "Solid", 62102})

QUELM_TABLE_FUNCTION(KEnum::ProductOption,
    {KEnum::ProductOption::Standard, "Standard", 62111},
    {KEnum::ProductOption::Professional, "Professional", 62112},
    {KEnum::ProductOption::Enterprise, "Enterprise", 62113},
    {KEnum::ProductOption::Academic, "Academic", 62114},
    {KEnum::ProductOption::Viewer, "Viewer", 62115})
