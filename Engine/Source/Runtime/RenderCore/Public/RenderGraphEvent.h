#pragma once

// Names and scopes of render-graph passes.
//
//   RDG_EVENT_SCOPE(GraphBuilder, "Colorize %dx%d", Width, Height);
//   RDG_GPU_STAT_SCOPE(GraphBuilder, VorpexColorize);
//   GraphBuilder.AddPass(RDG_EVENT_NAME("Tint"), Parameters, ERDGPassFlags::Compute, ...);
//
// Event scopes nest; a pass records the path of the scopes open when it was added followed by
// its own name ("Colorize 64x64/Tint"), and Execute wraps each scope and each pass in RHI debug
// labels. GPU stat scopes nest the same way, independently of event scopes; a pass is charged
// to the innermost one open when it was added.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "ProfilingDebugging/RealtimeGPUProfiler.h"

class FRDGBuilder;

/** A pass or scope name, formatted printf-style when made. */
class RENDERCORE_API FRDGEventName
{
public:
	FRDGEventName() = default;
	explicit FRDGEventName(const TCHAR* EventFormat, ...) __attribute__((format(printf, 2, 3)));

	const TCHAR* GetTCHAR() const { return *Text; }
	const FString& ToString() const { return Text; }

private:
	FString Text;
};

/** Keeps an event scope open on a builder for its lifetime. */
class RENDERCORE_API FRDGEventScopeGuard
{
public:
	FRDGEventScopeGuard(FRDGBuilder& InGraphBuilder, FRDGEventName&& ScopeName);
	~FRDGEventScopeGuard();
	FRDGEventScopeGuard(const FRDGEventScopeGuard&) = delete;
	FRDGEventScopeGuard& operator=(const FRDGEventScopeGuard&) = delete;

private:
	FRDGBuilder& GraphBuilder;
};

/** Keeps a GPU stat scope open on a builder for its lifetime. */
class RENDERCORE_API FRDGGPUStatScopeGuard
{
public:
	FRDGGPUStatScopeGuard(FRDGBuilder& InGraphBuilder, FGPUStat& Stat);
	~FRDGGPUStatScopeGuard();
	FRDGGPUStatScopeGuard(const FRDGGPUStatScopeGuard&) = delete;
	FRDGGPUStatScopeGuard& operator=(const FRDGGPUStatScopeGuard&) = delete;

private:
	FRDGBuilder& GraphBuilder;
};

#define UE_RDG_PRIVATE_JOIN_INNER(A, B) A##B
#define UE_RDG_PRIVATE_JOIN(A, B) UE_RDG_PRIVATE_JOIN_INNER(A, B)

#define RDG_EVENT_NAME(Format, ...) FRDGEventName(TEXT(Format), ##__VA_ARGS__)

#define RDG_EVENT_SCOPE(GraphBuilder, Format, ...) \
	FRDGEventScopeGuard UE_RDG_PRIVATE_JOIN(RDGEventScope_, __LINE__)((GraphBuilder), RDG_EVENT_NAME(Format, ##__VA_ARGS__))

#define RDG_GPU_STAT_SCOPE(GraphBuilder, StatName) \
	FRDGGPUStatScopeGuard UE_RDG_PRIVATE_JOIN(RDGGPUStatScope_, __LINE__)((GraphBuilder), GPUStat_##StatName)
