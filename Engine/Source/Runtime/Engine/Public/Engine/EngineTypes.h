#pragma once

// Shared enumerations and rules of the scene: attachment, detachment, teleporting, end of play.

#include "CoreMinimal.h"

/** Whether a move teleports physics state; there is no physics here, so it is only passed along. */
enum class ETeleportType : uint8
{
	None,
	TeleportPhysics,
	ResetPhysics,
};

/** The space a transform is expressed in. */
enum ERelativeTransformSpace : int32
{
	RTS_World,
	RTS_Actor,
	RTS_Component,
	RTS_ParentBoneSpace,
};

/** What attaching does to one part (location, rotation or scale) of the attached component's transform. */
enum class EAttachmentRule : uint8
{
	/** The relative part stays as it is, so the world part changes with the new parent. */
	KeepRelative,
	/** The world part stays as it is, so the relative part is recomputed. */
	KeepWorld,
	/** The part is taken from the parent: zero offset, no rotation, unit scale relative to it. */
	SnapToTarget,
};

struct FAttachmentTransformRules
{
	EAttachmentRule LocationRule;
	EAttachmentRule RotationRule;
	EAttachmentRule ScaleRule;
	bool bWeldSimulatedBodies;

	FAttachmentTransformRules(EAttachmentRule InRule, bool bInWeldSimulatedBodies)
		: LocationRule(InRule), RotationRule(InRule), ScaleRule(InRule), bWeldSimulatedBodies(bInWeldSimulatedBodies)
	{
	}
	FAttachmentTransformRules(EAttachmentRule InLocationRule, EAttachmentRule InRotationRule, EAttachmentRule InScaleRule,
		bool bInWeldSimulatedBodies)
		: LocationRule(InLocationRule), RotationRule(InRotationRule), ScaleRule(InScaleRule), bWeldSimulatedBodies(bInWeldSimulatedBodies)
	{
	}

	static ENGINE_API const FAttachmentTransformRules KeepRelativeTransform;
	static ENGINE_API const FAttachmentTransformRules KeepWorldTransform;
	static ENGINE_API const FAttachmentTransformRules SnapToTargetNotIncludingScale;
	static ENGINE_API const FAttachmentTransformRules SnapToTargetIncludingScale;
};

/** What detaching does to one part of the detached component's transform. */
enum class EDetachmentRule : uint8
{
	/** The relative transform is kept and becomes the world transform. */
	KeepRelative,
	/** The world transform is kept. */
	KeepWorld,
};

struct FDetachmentTransformRules
{
	EDetachmentRule LocationRule;
	EDetachmentRule RotationRule;
	EDetachmentRule ScaleRule;
	bool bCallModify;

	FDetachmentTransformRules(EDetachmentRule InRule, bool bInCallModify)
		: LocationRule(InRule), RotationRule(InRule), ScaleRule(InRule), bCallModify(bInCallModify)
	{
	}

	static ENGINE_API const FDetachmentTransformRules KeepRelativeTransform;
	static ENGINE_API const FDetachmentTransformRules KeepWorldTransform;
};

namespace EEndPlayReason
{
	enum Type : int32
	{
		Destroyed,
		LevelTransition,
		EndPlayInEditor,
		RemovedFromWorld,
		Quit,
	};
}
