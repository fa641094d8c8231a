// The GLSL snippets a quick-start plug-in can pull into its fragment shader
// with Plugin::Include, and the snippets each one needs with it.
//
// Both tables are built while the module loads, before any instance exists,
// and never change afterwards, so they may be read from any thread.
#pragma once

#include <map>
#include <set>
#include <string>

namespace ffglqs
{
namespace shader
{
// Included snippets are emitted in ascending id order.
enum class snippet_id
{
	// random(uvec2), random3(uvec3) and random() for the current pixel and
	// frame; reads the header uniforms "resolution" and "frame".
	random = 0,
	// map(t, a, b) normalising and map(value, low, high, newLow, newHigh)
	// rescaling, for float and vec2, clamped.
	map = 1,
	// random3(vec3), simplex3d(vec3) and fractal_noise(vec3, vec4).
	simplex_noise = 2,
};

extern const std::map<snippet_id, std::string> snippets;
// Snippets that must be included with a snippet; their own dependencies are
// not followed.
extern const std::map<snippet_id, std::set<snippet_id>> dependencies;

} // namespace shader
} // namespace ffglqs
