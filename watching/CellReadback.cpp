#include "watching/CellReadback.h"

#include "ffglex/FFGLScopedBindings.h"
#include "watching/ScopedPixelPackDefaults.h"

#include <cstring>
#include <string>

namespace
{
constexpr std::size_t kCellBytes = CellGrid::kCount * 2 * sizeof(float);
// Long enough for any frame a GPU can still be drawing, short enough that a
// lost device does not hang the host.
constexpr GLuint64 kWaitNs = 1000000000;

// One triangle over the whole target, from the vertex index alone.
const char kVertexShader[] = "#version 410 core\n"
							 "void main(){ vec2 p=vec2((gl_VertexID<<1)&2,gl_VertexID&2);"
							 " gl_Position=vec4(p*2.0-1.0,0.0,1.0); }";

// The cut of CellGrid::Cut, and the luma of Luma, in GLSL.
#define CELL_GRID_GLSL                                                                              \
	"#version 410 core\n"                                                                           \
	"uniform sampler2D Picture; uniform ivec2 Size;\n"                                              \
	"const int kColumns=" CELL_STRING(CELL_COLUMNS) "; const int kRows=" CELL_STRING(CELL_ROWS) ";\n" \
	"ivec2 Cut(int cell,int pixels,int cells){ int b=cell*pixels/cells;"                            \
	" return ivec2(b,max(b+1,(cell+1)*pixels/cells)); }\n"                                          \
	"float Luma(ivec2 p){ return dot(texelFetch(Picture,p,0).rgb,vec3(0.2126,0.7152,0.0722)); }\n"
#define CELL_STRING2(x) #x
#define CELL_STRING(x) CELL_STRING2(x)
#define CELL_COLUMNS 40
#define CELL_ROWS 24
static_assert(CELL_COLUMNS == CellGrid::kColumns && CELL_ROWS == CellGrid::kRows, "the shaders' grid is the CPU's");

// Fragment (c, y): the sum of row y's lumas over cell column c.
const char kRowShader[] = CELL_GRID_GLSL
	"out float sum;\n"
	"void main(){ ivec2 f=ivec2(gl_FragCoord.xy); ivec2 xs=Cut(f.x,Size.x,kColumns); float s=0.0;"
	" for(int x=xs.x;x<xs.y;++x) s+=Luma(ivec2(x,f.y)); sum=s; }";

// Fragment (c, r): the mean of cell (c, r) from its rows' sums, and the luma
// of its centre pixel.
const char kCellShader[] = CELL_GRID_GLSL
	"uniform sampler2D Rows; out vec2 cell;\n"
	"void main(){ ivec2 f=ivec2(gl_FragCoord.xy); ivec2 xs=Cut(f.x,Size.x,kColumns);"
	" ivec2 ys=Cut(f.y,Size.y,kRows); float s=0.0;"
	" for(int y=ys.x;y<ys.y;++y) s+=texelFetch(Rows,ivec2(f.x,y),0).r;"
	" cell=vec2(s/float((xs.y-xs.x)*(ys.y-ys.x)),Luma(ivec2((xs.x+xs.y)/2,(ys.x+ys.y)/2))); }";

// Switches a fixed-function capability off for the scope, and back on after
// it when the host had it on.
class ScopedDisable
{
public:
	explicit ScopedDisable(GLenum capability) : capability(capability), wasOn(glIsEnabled(capability) == GL_TRUE)
	{
		if (wasOn)
			glDisable(capability);
	}
	~ScopedDisable()
	{
		if (wasOn)
			glEnable(capability);
	}
	ScopedDisable(const ScopedDisable&) = delete;
	ScopedDisable& operator=(const ScopedDisable&) = delete;

private:
	GLenum capability;
	bool wasOn;
};

// The host's viewport, set back at the end of the scope.
class ScopedViewport
{
public:
	ScopedViewport() { glGetIntegerv(GL_VIEWPORT, viewport); }
	~ScopedViewport() { glViewport(viewport[0], viewport[1], viewport[2], viewport[3]); }
	ScopedViewport(const ScopedViewport&) = delete;
	ScopedViewport& operator=(const ScopedViewport&) = delete;

private:
	GLint viewport[4] = {};
};
} // namespace

bool CellReadback::Make(Target& target, GLsizei width, GLsizei height, GLenum format)
{
	glGenTextures(1, &target.texture);
	glGenFramebuffers(1, &target.framebuffer);
	if (target.texture == 0 || target.framebuffer == 0)
		return false;
	{
		ffglex::Scoped2DTextureBinding binding(target.texture);
		glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0,
			format == GL_R32F ? GL_RED : GL_RG, GL_FLOAT, nullptr);
		// texelFetch reads level 0; with a filter that needs no other level the
		// texture is complete without them.
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
	}
	ffglex::ScopedFBOBinding binding(target.framebuffer, ffglex::ScopedFBOBinding::RestorePrevious);
	glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.texture, 0);
	return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void CellReadback::Free(Target& target)
{
	if (target.framebuffer != 0)
		glDeleteFramebuffers(1, &target.framebuffer);
	if (target.texture != 0)
		glDeleteTextures(1, &target.texture);
	target = Target();
}

bool CellReadback::Build()
{
	Release();
	if (!rowPass.Compile(kVertexShader, kRowShader) || !cellPass.Compile(kVertexShader, kCellShader))
		return false;
	glGenVertexArrays(1, &vertexArray);
	if (vertexArray == 0)
		return false;
	const ScopedPixelPackDefaults packDefaults;
	for (Slot& slot : slots)
	{
		if (!Make(slot.cells, CellGrid::kColumns, CellGrid::kRows, GL_RG32F))
			return false;
		glGenBuffers(1, &slot.buffer);
		if (slot.buffer == 0)
			return false;
		ffglex::ScopedBufferBinding packBinding(GL_PIXEL_PACK_BUFFER, slot.buffer);
		glBufferData(GL_PIXEL_PACK_BUFFER, kCellBytes, nullptr, GL_STREAM_READ);
	}
	return true;
}

void CellReadback::Release()
{
	for (Slot& slot : slots)
	{
		if (slot.fence != nullptr)
			glDeleteSync(slot.fence);
		if (slot.buffer != 0)
			glDeleteBuffers(1, &slot.buffer);
		Free(slot.cells);
		slot = Slot();
	}
	Free(rows);
	rowsHeight = 0;
	if (vertexArray != 0)
		glDeleteVertexArrays(1, &vertexArray);
	vertexArray = 0;
	rowPass.FreeGLResources();
	cellPass.FreeGLResources();
}

bool CellReadback::Start(const FFGLTextureStructTag& input, std::size_t slot)
{
	if (input.Width == 0 || input.Height == 0 || vertexArray == 0)
		return false;
	const auto height = static_cast<GLsizei>(input.Height);
	if (height != rowsHeight)
	{
		// A new picture height: frames in flight keep their own slots, only the
		// rows' scratch target follows the picture.
		Free(rows);
		rowsHeight = 0;
		if (!Make(rows, CellGrid::kColumns, height, GL_R32F))
		{
			Free(rows);
			return false;
		}
		rowsHeight = height;
	}
	Measure(input, slots[slot]);
	return true;
}

void CellReadback::Measure(const FFGLTextureStructTag& input, Slot& slot)
{
	const ScopedViewport viewport;
	const ScopedDisable blend(GL_BLEND), scissor(GL_SCISSOR_TEST), depth(GL_DEPTH_TEST), stencil(GL_STENCIL_TEST),
		cull(GL_CULL_FACE);
	ffglex::ScopedVAOBinding vertexArrayBinding(vertexArray);
	ffglex::ScopedSamplerActivation unit0(0);
	ffglex::Scoped2DTextureBinding picture(input.Handle);
	const GLint size[2] = { static_cast<GLint>(input.Width), static_cast<GLint>(input.Height) };
	{
		ffglex::ScopedFBOBinding target(rows.framebuffer, ffglex::ScopedFBOBinding::RestorePrevious);
		ffglex::ScopedShaderBinding program(rowPass.GetGLID());
		rowPass.Set("Picture", 0);
		glUniform2i(rowPass.FindUniform("Size"), size[0], size[1]);
		glViewport(0, 0, CellGrid::kColumns, rowsHeight);
		glDrawArrays(GL_TRIANGLES, 0, 3);
	}
	ffglex::ScopedFBOBinding target(slot.cells.framebuffer, ffglex::ScopedFBOBinding::RestorePrevious);
	{
		ffglex::ScopedSamplerActivation unit1(1);
		ffglex::Scoped2DTextureBinding rowSums(rows.texture);
		ffglex::ScopedShaderBinding program(cellPass.GetGLID());
		cellPass.Set("Picture", 0);
		cellPass.Set("Rows", 1);
		glUniform2i(cellPass.FindUniform("Size"), size[0], size[1]);
		glViewport(0, 0, CellGrid::kColumns, CellGrid::kRows);
		glDrawArrays(GL_TRIANGLES, 0, 3);
	}
	// Into the slot's buffer: on a GPU a queued copy, not a wait.
	const ScopedPixelPackDefaults packDefaults;
	ffglex::ScopedBufferBinding packBinding(GL_PIXEL_PACK_BUFFER, slot.buffer);
	glReadPixels(0, 0, CellGrid::kColumns, CellGrid::kRows, GL_RG, GL_FLOAT, nullptr);
	if (slot.fence != nullptr)
		glDeleteSync(slot.fence);
	slot.fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
}

bool CellReadback::Ready(std::size_t slot)
{
	const GLsync fence = slots[slot].fence;
	if (fence == nullptr)
		return true;
	const GLenum state = glClientWaitSync(fence, 0, 0);
	return state == GL_ALREADY_SIGNALED || state == GL_CONDITION_SATISFIED;
}

void CellReadback::Wait(std::size_t slot)
{
	if (slots[slot].fence != nullptr)
		glClientWaitSync(slots[slot].fence, GL_SYNC_FLUSH_COMMANDS_BIT, kWaitNs);
}

void CellReadback::Take(std::size_t slot, CellValues& out)
{
	Slot& s = slots[slot];
	if (s.fence != nullptr)
		glDeleteSync(s.fence);
	s.fence = nullptr;
	out.means.count = out.points.count = CellGrid::kCount;
	const ScopedPixelPackDefaults packDefaults;
	ffglex::ScopedBufferBinding packBinding(GL_PIXEL_PACK_BUFFER, s.buffer);
	const auto* cells = static_cast<const float*>(glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, kCellBytes, GL_MAP_READ_BIT));
	// A buffer that cannot be mapped is a picture nobody can see: never black,
	// never still.
	out.means.readable = out.points.readable = cells != nullptr;
	for (std::size_t i = 0; i < CellGrid::kCount; ++i)
	{
		out.means.values[i] = cells != nullptr ? cells[2 * i] : 1.0f;
		out.points.values[i] = cells != nullptr ? cells[2 * i + 1] : 1.0f;
	}
	if (cells != nullptr)
		glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
}
