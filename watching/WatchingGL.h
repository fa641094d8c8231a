// WatchingGL: the GL side of a plug-in that watches its one input: the
// pass-through drawing and the sample measure over the drawn picture.
//
// The plug-in forwards its InitGL, DeInitGL and the drawing half of its
// ProcessOpenGL here, so every watching plug-in keeps the same contracts with
// the host.
#pragma once

#include "core/FFGLPlugin.h"
#include "host/FFGLRecords.h"
#include "watching/PassThrough.h"
#include "watching/SampleMeasure.h"

class WatchingGL
{
public:
	explicit WatchingGL(const SampleMeasure& measure) : measure(measure) {}

	// The InitGL of plugin. Keeps the host's viewport for the grid, which Resize
	// does not move, even when the rest fails; then builds the pass-through
	// from the sources and copies the viewport into plugin's currentViewport.
	// FF_FAIL for a null record, or when the program or the quad cannot be
	// built: plugin's own DeInitGL has then run, so nothing of GL is left.
	unsigned int InitGL(
		CFFGLPlugin& plugin, const FFGLViewportStructTag* vp, const char* vertexSource, const char* fragmentSource);
	// Releases what InitGL created; always FF_SUCCESS, harmless without InitGL
	// and when called twice.
	unsigned int DeInitGL();

	// Draws the record's first input unchanged into the framebuffer the host
	// has bound. False, with nothing drawn, for a null record or a missing
	// first input: such a frame is not watched.
	bool Draw(const ProcessOpenGLStructTag* record);
	// The samples of the framebuffer bound for reading, read with the default
	// pixel-pack state; the host's bindings are left as they were.
	void Measure(LumaSamples& samples) const;

	const SampleMeasure& Grid() const { return measure; }

private:
	PassThrough passThrough;
	SampleMeasure measure;
};
