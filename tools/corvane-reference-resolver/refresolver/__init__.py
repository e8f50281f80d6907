"""Modules of corvane-reference-resolver; standard library only."""
