#include "watching/CellReadback.h"

#include "ffglex/FFGLScopedBindings.h"

namespace
{
constexpr GLsizeiptr kBlockBytes = CellGrid::kBlockFloats * sizeof(float);
// Long enough for any frame a GPU can still be drawing, short enough that a
// lost device does not hang the host.
constexpr GLuint64 kWaitNs = 1000000000;

// One triangle over the whole target, from the vertex index alone.
const char kVertexShader[] = "#version 410 core\n"
							 "void main(){ vec2 p=vec2((gl_VertexID<<1)&2,gl_VertexID&2);"
							 " gl_Position=vec4(p*2.0-1.0,0.0,1.0); }";

#define CELL_STRING2(x) #x
#define CELL_STRING(x) CELL_STRING2(x)
#define CELL_COLUMNS 40
#define CELL_ROWS 24
#define CELL_BLOCKS 4
#define CELL_BLOCK_COLUMNS 160
static_assert(CELL_COLUMNS == CellGrid::kColumns && CELL_ROWS == CellGrid::kRows && CELL_BLOCKS == CellGrid::kBlocks &&
		CELL_BLOCK_COLUMNS == CellGrid::kBlockColumns,
	"the shader's grid is the CPU model's");

// Fragment (bx, by): block (bx, by) of CellGrid, with Cut, Block and Luma as
// the CPU model has them.
const char kBlockShader[] =
	"#version 410 core\n"
	"uniform sampler2D Picture; uniform ivec2 Size; out vec2 block;\n"
	"const int kColumns=" CELL_STRING(CELL_COLUMNS) "; const int kRows=" CELL_STRING(
		CELL_ROWS) "; const int kBlocks=" CELL_STRING(CELL_BLOCKS) ";\n"
	"ivec2 Cut(int cell,int pixels,int cells){ int b=cell*pixels/cells;"
	" return ivec2(b,max(b+1,(cell+1)*pixels/cells)); }\n"
	"ivec2 Block(int block,int pixels,int cells){ ivec2 c=Cut(block/kBlocks,pixels,cells);"
	" return c.x+Cut(block%kBlocks,c.y-c.x,kBlocks); }\n"
	"float Luma(ivec2 p){ return dot(texelFetch(Picture,p,0).rgb,vec3(0.2126,0.7152,0.0722)); }\n"
	"void main(){ ivec2 f=ivec2(gl_FragCoord.xy);"
	" ivec2 xs=Block(f.x,Size.x,kColumns); ivec2 ys=Block(f.y,Size.y,kRows); float s=0.0;"
	" vec3 a=vec3(0.0); for(int y=ys.x;y<ys.y;++y) for(int x=xs.x;x<xs.y;++x) a+=texelFetch(Picture,ivec2(x,y),0).rgb; s=dot(a,vec3(0.2126,0.7152,0.0722));"
	" ivec2 cx=Cut(f.x/kBlocks,Size.x,kColumns); ivec2 cy=Cut(f.y/kBlocks,Size.y,kRows);"
	" block=vec2(s,Luma(ivec2((cx.x+cx.y)/2,(cy.x+cy.y)/2))); }";

// Vertex n: block n of the slot's block array, captured into its buffer.
const char kCopyShader[] =
	"#version 410 core\n"
	"uniform sampler2D Blocks; out vec2 block;\n"
	"void main(){ block=texelFetch(Blocks,ivec2(gl_VertexID%" CELL_STRING(CELL_BLOCK_COLUMNS) ",gl_VertexID/"
	CELL_STRING(CELL_BLOCK_COLUMNS) "),0).rg; }";

// Switches a fixed-function capability on or off for the scope, and back
// after it where the host had it the other way.
class ScopedCapability
{
public:
	ScopedCapability(GLenum capability, bool on) :
		capability(capability),
		on(on),
		changed((glIsEnabled(capability) == GL_TRUE) != on)
	{
		if (changed)
			Set(on);
	}
	~ScopedCapability()
	{
		if (changed)
			Set(!on);
	}
	ScopedCapability(const ScopedCapability&) = delete;
	ScopedCapability& operator=(const ScopedCapability&) = delete;

private:
	void Set(bool value) const
	{
		if (value)
			glEnable(capability);
		else
			glDisable(capability);
	}

	GLenum capability;
	bool on;
	bool changed;
};

// Every colour channel written for the scope, the host's write mask set back
// after it.
class ScopedColorMask
{
public:
	ScopedColorMask()
	{
		glGetBooleanv(GL_COLOR_WRITEMASK, mask);
		glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
	}
	~ScopedColorMask() { glColorMask(mask[0], mask[1], mask[2], mask[3]); }
	ScopedColorMask(const ScopedColorMask&) = delete;
	ScopedColorMask& operator=(const ScopedColorMask&) = delete;

private:
	GLboolean mask[4] = {};
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

bool CellReadback::Make(Slot& slot)
{
	glGenTextures(1, &slot.blocks);
	glGenFramebuffers(1, &slot.framebuffer);
	glGenBuffers(1, &slot.buffer);
	if (slot.blocks == 0 || slot.framebuffer == 0 || slot.buffer == 0)
		return false;
	{
		ffglex::Scoped2DTextureBinding binding(slot.blocks);
		glTexImage2D(GL_TEXTURE_2D, 0, GL_RG32F, CellGrid::kBlockColumns, CellGrid::kBlockRows, 0, GL_RG, GL_FLOAT,
			nullptr);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
	}
	{
		ffglex::ScopedBufferBinding bufferBinding(GL_TRANSFORM_FEEDBACK_BUFFER, slot.buffer);
		glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER, kBlockBytes, nullptr, GL_STREAM_READ);
	}
	ffglex::ScopedFBOBinding binding(slot.framebuffer, ffglex::ScopedFBOBinding::RestorePrevious);
	glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, slot.blocks, 0);
	return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

bool CellReadback::Build()
{
	Release();
	if (!blockPass.Compile(kVertexShader, kBlockShader) || !copyPass.CompileVertexShader(kCopyShader) ||
		!copyPass.LinkProgram())
		return false;
	// Both programs sample unit 0, set once here; a frame sets only the size.
	{
		ffglex::ScopedShaderBinding program(blockPass.GetGLID());
		blockPass.Set("Picture", 0);
		sizeLocation = blockPass.FindUniform("Size");
	}
	{
		ffglex::ScopedShaderBinding program(copyPass.GetGLID());
		copyPass.Set("Blocks", 0);
	}
	glGenVertexArrays(1, &vertexArray);
	if (vertexArray == 0)
		return false;
	for (Slot& slot : slots)
		if (!Make(slot))
			return false;
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
		if (slot.framebuffer != 0)
			glDeleteFramebuffers(1, &slot.framebuffer);
		if (slot.blocks != 0)
			glDeleteTextures(1, &slot.blocks);
		slot = Slot();
	}
	if (vertexArray != 0)
		glDeleteVertexArrays(1, &vertexArray);
	vertexArray = 0;
	blockPass.FreeGLResources();
	copyPass.FreeGLResources();
}

bool CellReadback::Start(const FFGLTextureStructTag& input, std::size_t index)
{
	if (input.Width == 0 || input.Height == 0 || vertexArray == 0)
		return false;
	Slot& slot = slots[index];
	{
		const ScopedViewport viewport;
		const ScopedCapability blend(GL_BLEND, false), scissor(GL_SCISSOR_TEST, false), depth(GL_DEPTH_TEST, false),
			stencil(GL_STENCIL_TEST, false), cull(GL_CULL_FACE, false), discard(GL_RASTERIZER_DISCARD, false);
		const ScopedColorMask colorMask;
		ffglex::ScopedFBOBinding target(slot.framebuffer, ffglex::ScopedFBOBinding::RestorePrevious);
		ffglex::ScopedVAOBinding vertexArrayBinding(vertexArray);
		ffglex::ScopedShaderBinding program(blockPass.GetGLID());
		ffglex::ScopedSamplerActivation unit0(0);
		ffglex::Scoped2DTextureBinding picture(input.Handle);
		glUniform2i(sizeLocation, static_cast<GLint>(input.Width), static_cast<GLint>(input.Height));
		glViewport(0, 0, CellGrid::kBlockColumns, CellGrid::kBlockRows);
		glDrawArrays(GL_TRIANGLES, 0, 3);
	}
	if (slot.fence != nullptr)
		glDeleteSync(slot.fence);
	slot.fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
	slot.copied = false;
	slot.width = input.Width;
	slot.height = input.Height;
	return true;
}

bool CellReadback::Passed(GLsync fence)
{
	const GLenum state = glClientWaitSync(fence, 0, 0);
	return state == GL_ALREADY_SIGNALED || state == GL_CONDITION_SATISFIED;
}

void CellReadback::Copy(Slot& slot)
{
	{
		// Captured by transform feedback from a draw that samples the blocks,
		// not read back: a renderer that maps a texture on the host's thread
		// may first finish everything queued, the host's drawing included.
		const ScopedCapability discard(GL_RASTERIZER_DISCARD, true);
		ffglex::ScopedVAOBinding vertexArrayBinding(vertexArray);
		ffglex::ScopedShaderBinding program(copyPass.GetGLID());
		ffglex::ScopedSamplerActivation unit0(0);
		ffglex::Scoped2DTextureBinding blocks(slot.blocks);
		glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, slot.buffer);
		glBeginTransformFeedback(GL_POINTS);
		glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(CellGrid::kBlockColumns * CellGrid::kBlockRows));
		glEndTransformFeedback();
		glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, 0);
	}
	glDeleteSync(slot.fence);
	slot.fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
	slot.copied = true;
}

bool CellReadback::Ready(std::size_t index)
{
	Slot& slot = slots[index];
	if (slot.fence == nullptr || !Passed(slot.fence))
		return false;
	if (slot.copied)
		return true;
	Copy(slot);
	return false;
}

void CellReadback::Wait(std::size_t index)
{
	Slot& slot = slots[index];
	if (slot.fence == nullptr)
		return;
	if (!slot.copied)
	{
		glClientWaitSync(slot.fence, GL_SYNC_FLUSH_COMMANDS_BIT, kWaitNs);
		Copy(slot);
	}
	glClientWaitSync(slot.fence, GL_SYNC_FLUSH_COMMANDS_BIT, kWaitNs);
}

void CellReadback::Take(std::size_t index, CellValues& out)
{
	Slot& slot = slots[index];
	if (slot.fence != nullptr)
		glDeleteSync(slot.fence);
	slot.fence = nullptr;
	ffglex::ScopedBufferBinding bufferBinding(GL_TRANSFORM_FEEDBACK_BUFFER, slot.buffer);
	const auto* blocks =
		static_cast<const float*>(glMapBufferRange(GL_TRANSFORM_FEEDBACK_BUFFER, 0, kBlockBytes, GL_MAP_READ_BIT));
	if (blocks != nullptr)
	{
		CellGrid::FromBlocks(blocks, slot.width, slot.height, out);
		glUnmapBuffer(GL_TRANSFORM_FEEDBACK_BUFFER);
		return;
	}
	// A buffer that cannot be mapped is a picture nobody can see: never black,
	// never still.
	out.means.count = out.points.count = CellGrid::kCount;
	out.means.readable = out.points.readable = false;
	out.means.values.fill(1.0f);
	out.points.values.fill(1.0f);
}
