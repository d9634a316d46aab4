// The enumerations that the user interface, the scripts and the model files
// show or parse by name (their tables are in KEnumTables.h). Enumerator values
// are stored in model files and passed to scripts: never renumber them.
#pragma once
#include <cstdint>

struct KEnum {
  // What a new object inherits from the one it is made from.
  enum class InheritAttrType : int32_t {
    None = 0, All = 1, Geometric = 2, Material = 3, SupportsFromFirstLoadcase = 4, ConstraintEquations = 5,
    ScriptedAttributes = 6, RadiationThermalSurfaces = 7, SectionPropertyModifiers = 9,
    CableShapeFromFirstLoadcase = 10,
  };
  // Axis of the labels drawn along lines and on surfaces.
  enum class LinesLabelAxis : int32_t { xy = 0, xz = 1, x = 2, Fixed = 3 };
  enum class SurfacesLabelAxis : int32_t { xy = 0, Fixed = 1 };
  enum class LocalCoordsSubType : int32_t {
    Cartesian = 1, XCylindrical = 2, XSpherical = 3, ZCylindrical = 4, ZSpherical = 5, Surface = 6,
    YCylindrical = 7, YSpherical = 8, YNewCylindrical = 9,
  };
  // Parts of a model that an export or a copy takes.
  enum class ModelObjects : int32_t {
    GeometryAndMeshExcVolumes = 0, GeometryAndMeshIncVolumes = 1, GeometryOnly = 2, MeshOnlyExcVolumes = 3,
    MeshOnlyIncVolumes = 4, NodesOnly = 5, GeometryAndAssignments = 6, AttributesOnly = 7, AnalysesOnly = 8,
    AnalysesAttributesAndAssignments = 9,
  };
  enum class ModelSection : int32_t {
    All = 0, Selected = 1, Visible = 2, Memory = 3, Results = 4, CurrentWindow = 5, CurrentTab = 6, AllTabs = 7,
  };
  enum class ProjectionType : int32_t { Orthographic = 0, FreePerspective = 1, FixedPerspective = 2 };
  enum class TreeItemType : int32_t {
    Loadcase = 3, Combination = 4, Envelope = 5, VanticLoadcase = 6, TargetValuesLoadset = 24, CableTuning = 25,
    ResultsContainerLoadset = 29,
  };
  enum class mergeOptions : int32_t { Off = 0, Ignore = 1, Exact = 2, Wild = 3 };
  // The toolbars, by their command identifiers.
  enum class toolBarId : int32_t {
    Main = 59392, Define = 59397, ViewTools = 59398, AdvancedDefine = 59399, AnimationBuilder = 59401,
    AnnotationTools = 59402, VisibilitySelection = 59403, Modalux = 59404, Results = 59405, BridgeWizard = 59406,
  };
  // The geometry kernel a model is built with.
  enum class ModellerType : int32_t { Standard = 0, Solid = 1 };
  // The editions of the product.
  enum class ProductOption : int32_t { Standard = 0, Professional = 1, Enterprise = 2, Academic = 3, Viewer = 4 };
};

struct KSharedEnums {
  struct KSharedEnum {
    // Values 9 and 11 share the text "table loadcurve", 12 and 14 "cable tuning".
    enum class LoadcaseType : int32_t {
      Loadcase = 0, ResultsLoadcase = 1, Combination = 2, Envelope = 3, FatigueLoadcase = 4, VanticLoadcase = 5,
      SmartCombination = 6, StandardLoadcurve = 7, VariationLoadcurve = 8, TableLoadcurve = 9, EnvelopeAbs = 10,
      TableLoadcurveTabulated = 11, CableTuning = 12, Influence = 13, CableTuningTargets = 14,
      NonLinearCableTuning = 15, ResultsContainerLoadset = 16,
    };
    // The time-scale unit: its length in seconds, 0 for increments.
    enum class timescale : int32_t { Increments = 0, Seconds = 1, Minutes = 60, Hours = 3600, Days = 86400 };
  };
};

// Kinds of model objects.
enum class MiscEnums : int32_t {
  NoKind = -3, AllKinds = -2, None = -1, Point = 1, Line = 2, CombinedLine = 3, Surface = 4, Volume = 5, Node = 6,
  Edge = 7, Face = 8, Element = 9, BackgroundGrid = 10, Group = 11, TextAnnotation = 12, LineAnnotation = 13,
  PolygonAnnotation = 14, ArrowAnnotation = 15, BitmapAnnotation = 16, SymbolAnnotation = 17, AnnotationBlock = 18,
  ReferencePath = 19, ObjectsToDrape = 20, LayoutGrid = 21, InspectionLine = 22, RailTrackDefinition = 23,
  RailTrackLayout = 24, Loadcase = 26, UserData = 27, Report = 28, Geometry = 29, Mesh = 30, Annotation = 31,
};
