// Placeholder until the binding lands: the module's exported entry points.
