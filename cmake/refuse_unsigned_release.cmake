# Run by CPack before it writes the archive of a Release build whose client
# trusts no publisher's key.
message(FATAL_ERROR "This Release client has no QUORVANE_UPDATE_PUBLIC_KEY and would install "
    "whatever a network attacker serves as an update. Configure the publisher's key, or "
    "-DQUORVANE_UNSIGNED_RELEASE=ON (scripts/package --unsigned) for an archive named unsigned.")
