// Anchors the precompiled headers the suites share; holds no code.
