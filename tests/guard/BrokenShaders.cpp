// Pass-through sources for the class tests, linked in place of the module's:
// the vertex shader does not compile, so every InitGL takes its failure path.
#include "guard/AddSubtract.h"

const char* const AddSubtract::vertexShader = "#version 410 core\nvoid main(){ this is not GLSL }";

const char* const AddSubtract::fragmentShader =
	"#version 410 core\nout vec4 fragColor;\nvoid main(){ fragColor=vec4(1.0); }";
