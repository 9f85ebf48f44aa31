#pragma once

// Identifiers of the main window's controls and of the custom strobe dialog's controls.
namespace ControlId {
inline constexpr int SpindleToPivotLabel = 1001;
inline constexpr int InnerGrooveLabel = 1002;
inline constexpr int OuterGrooveLabel = 1003;
inline constexpr int SpindleToPivotField = 1005;
inline constexpr int SpindleToPivotUnit = 1006;
inline constexpr int InnerGrooveField = 1007;
inline constexpr int OuterGrooveField = 1008;
inline constexpr int InnerGrooveUnit = 1009;
inline constexpr int OuterGrooveUnit = 1010;
inline constexpr int LofgrenAButton = 1011;
inline constexpr int LofgrenBButton = 1012;
inline constexpr int StevensonAButton = 1013;
inline constexpr int PrintArcTemplateButton = 1014;
inline constexpr int Print60HzStrobeButton = 1015;
inline constexpr int Print50HzStrobeButton = 1016;
inline constexpr int HelpButton = 1017;
inline constexpr int CorrectionXLabel = 1018;
inline constexpr int CorrectionXField = 1019;
inline constexpr int DinButton = 1020;
inline constexpr int IecButton = 1021;
inline constexpr int TypicalButton = 1022;
inline constexpr int CorrectionYLabel = 1023;
inline constexpr int CorrectionYField = 1024;
inline constexpr int PrintCustomStrobeButton = 1025;
inline constexpr int ArmIdLabel = 1036;
inline constexpr int ArmIdField = 1037;

inline constexpr int OuterBarsLabel = 1026;
inline constexpr int InnerBarsLabel = 1027;
inline constexpr int Caption1Label = 1028;
inline constexpr int Caption2Label = 1029;
inline constexpr int OuterBarsField = 1030;
inline constexpr int InnerBarsField = 1031;
inline constexpr int Caption1Field = 1032;
inline constexpr int Caption2Field = 1033;
inline constexpr int CustomOkButton = 1034;
inline constexpr int CustomCancelButton = 1035;
} // namespace ControlId
