// The Windows implementations of the platform services.
