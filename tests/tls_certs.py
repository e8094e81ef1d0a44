#!/usr/bin/env python3
"""Certificates for the loopback TLS test servers, made afresh at test time.

  tls_certs.py DIR     writes them into DIR and lists the files

A test certificate authority ("Lumora Test CA <id>") signs a certificate for
DNS:localhost, one for another host, and an expired one for localhost; a
self-signed certificate for localhost stands beside them. Wine matches a
host only against the DNS names of a certificate, so tests address the
servers as "localhost". Keys are P-256, quick to make.

The CA is kept for a year in the user's cache folder (lumora-test-ca), the
leaf certificates are made anew each time: a Wine prefix that trusts the CA
(the Windows tests add it to the prefix's own Root store, which Wine cannot
reliably take certificates out of) then holds one CA, not one per test run.
Its name carries an id, so a client never mistakes an older CA for it.
Nothing is installed anywhere: a client trusts the CA only where a test hands
it ca.pem.
"""
import datetime
import fcntl
import os
import sys

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import ExtendedKeyUsageOID, NameOID

CA_NAME = "Lumora Test CA"
KINDS = ("good", "wronghost", "expired", "selfsigned")


def _key():
    return ec.generate_private_key(ec.SECP256R1())


def _name(cn):
    return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, cn)])


def _write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def _key_pem(key):
    return key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                             serialization.NoEncryption())


def _leaf(cn, dns, key, issuer_name, issuer_key, start, end):
    b = (x509.CertificateBuilder().subject_name(_name(cn)).issuer_name(issuer_name)
         .public_key(key.public_key()).serial_number(x509.random_serial_number())
         .not_valid_before(start).not_valid_after(end)
         .add_extension(x509.SubjectAlternativeName([x509.DNSName(dns)]), critical=False)
         .add_extension(x509.BasicConstraints(ca=False, path_length=None), critical=True)
         .add_extension(x509.ExtendedKeyUsage([ExtendedKeyUsageOID.SERVER_AUTH]), critical=False))
    return b.sign(issuer_key, hashes.SHA256())


def _cached_ca(now, day):
    """The kept CA and its key, made when there is none or it ends within a week."""
    cache = os.path.join(os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"),
                         "lumora-test-ca")
    os.makedirs(cache, exist_ok=True)
    pem, key_path = os.path.join(cache, "ca.pem"), os.path.join(cache, "ca.key")
    with open(os.path.join(cache, "lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)  # test runs in parallel share one CA
        try:
            with open(pem, "rb") as f:
                ca = x509.load_pem_x509_certificate(f.read())
            with open(key_path, "rb") as f:
                ca_key = serialization.load_pem_private_key(f.read(), None)
            # not_valid_after_utc where the package has it (newer than Debian 12's).
            ends = getattr(ca, "not_valid_after_utc", None) or \
                ca.not_valid_after.replace(tzinfo=datetime.timezone.utc)
            if ends > now + 7 * day:
                return ca, ca_key
        except (OSError, ValueError):
            pass
        ca_key = _key()
        name = _name(f"{CA_NAME} {os.urandom(6).hex()}")
        ca = (x509.CertificateBuilder().subject_name(name).issuer_name(name)
              .public_key(ca_key.public_key()).serial_number(x509.random_serial_number())
              .not_valid_before(now - day).not_valid_after(now + 365 * day)
              .add_extension(x509.BasicConstraints(ca=True, path_length=0), critical=True)
              .add_extension(x509.KeyUsage(False, False, False, False, False, True, True, False,
                                           False), critical=True)
              .sign(ca_key, hashes.SHA256()))
        for path, data in ((key_path, _key_pem(ca_key)),
                           (pem, ca.public_bytes(serialization.Encoding.PEM))):
            _write(path + ".tmp", data)
            os.replace(path + ".tmp", path)
        return ca, ca_key


def make(directory):
    """Writes ca.pem and <kind>.pem/<kind>.key for each kind; returns the paths."""
    now = datetime.datetime.now(datetime.timezone.utc)
    day = datetime.timedelta(days=1)
    ca, ca_key = _cached_ca(now, day)
    paths = {"ca": os.path.join(directory, "ca.pem")}
    _write(paths["ca"], ca.public_bytes(serialization.Encoding.PEM))
    for kind in KINDS:
        key = _key()
        if kind == "selfsigned":
            cert = _leaf("localhost", "localhost", key, _name("localhost"), key, now - day, now + 30 * day)
        elif kind == "expired":
            cert = _leaf("localhost", "localhost", key, ca.subject, ca_key, now - 30 * day, now - day)
        else:
            dns = "localhost" if kind == "good" else "wrong.example"
            cert = _leaf(dns, dns, key, ca.subject, ca_key, now - day, now + 30 * day)
        pem, key_path = os.path.join(directory, kind + ".pem"), os.path.join(directory, kind + ".key")
        _write(pem, cert.public_bytes(serialization.Encoding.PEM))
        _write(key_path, _key_pem(key))
        paths[kind] = (pem, key_path)
    return paths


if __name__ == "__main__":
    for k, v in make(sys.argv[1]).items():
        print(k, v)
