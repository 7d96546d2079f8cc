#pragma once
// The looks shared by the drawn controls.

namespace glyphwell::controls {

enum class PAINTTYPE { btSolid, btSolid2, btGradetion, btGradetion2, btWin7 };

}  // namespace glyphwell::controls
