#!/usr/bin/python3
"""Reads one received message with Python's email package and prints what a
reader of the mail would see, as JSON: decoded headers, the text body and the
attachments, with a check that each JPEG attachment decodes as an image."""
import email
import email.policy
import json
import shutil
import subprocess
import sys


def require_program(program, package):
    if shutil.which(program) is None:
        sys.exit("mail_parse.py: the program %s is missing; install the Debian package %s "
                 "(bash scripts/setup.sh)" % (program, package))


def jpeg_size(data):
    # ImageMagick's identify decodes the whole picture; a broken JPEG fails here.
    require_program("identify", "imagemagick")
    result = subprocess.run(["identify", "-format", "%w %h", "jpeg:-"], input=data,
                            capture_output=True)
    return result.stdout.decode() if result.returncode == 0 else ""


def main():
    with open(sys.argv[1], "rb") as f:
        message = email.message_from_binary_file(f, policy=email.policy.default)
    body = message.get_body(preferencelist=("plain",))
    attachments = []
    for part in message.iter_attachments():
        data = part.get_payload(decode=True)
        attachments.append({
            "filename": part.get_filename(),
            "content_type": part.get_content_type(),
            "size": len(data),
            "jpeg": jpeg_size(data) if part.get_content_type() == "image/jpeg" else "",
        })
    result = {
        "subject": str(message["Subject"]),
        "from_name": message["From"].addresses[0].display_name,
        "from_address": message["From"].addresses[0].addr_spec,
        "to": [a.addr_spec for a in message["To"].addresses],
        "has_bcc": "Bcc" in message,
        "has_cc": "Cc" in message,
        "charset": body.get_content_charset(),
        "body": body.get_payload(decode=True).decode(body.get_content_charset()),
        "attachments": attachments,
    }
    json.dump(result, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
